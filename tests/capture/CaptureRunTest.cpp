// The real tidewash-capture program, run as a user runs it, with no display:
// what it writes, frame by frame and byte by byte, and how it fails.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

#include "tools/pack/PngFile.h"

namespace fs = std::filesystem;

namespace {

struct Result {
    int status;
    std::string out;
    std::string err;
};

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// The program under test and the soundtrack it plays, from the command line.
std::string programUnderTest;
std::string soundtrackUnderTest;

class CaptureRun : public ::testing::Test {
protected:
    void SetUp() override {
        program = programUnderTest;
        soundtrack = soundtrackUnderTest;
        ASSERT_TRUE(fs::exists(program)) << "usage: capture_run_tests PROGRAM SOUNDTRACK";
        ASSERT_TRUE(fs::exists(soundtrack)) << "usage: capture_run_tests PROGRAM SOUNDTRACK";
        work = fs::temp_directory_path() /
               ("tidewash-capture-" + std::to_string(getpid()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(work);
        fs::create_directories(work);
    }
    void TearDown() override { fs::remove_all(work); }

    // Runs the program in the work folder with no display; `environment` goes
    // before it on the command line (VAR=value ...).
    Result capture(const std::string& arguments, const std::string& environment = "") const {
        const std::string command = "cd '" + work.string() + "' && env -u DISPLAY " + environment + " '" + program +
                                    "' --soundtrack '" + soundtrack + "' " + arguments + " > out.txt 2> err.txt";
        const int status = std::system(command.c_str());
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, readFile(work / "out.txt"), readFile(work / "err.txt")};
    }

    // What the work folder holds besides the program's own output files.
    std::vector<std::string> written() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(work)) {
            const std::string name = entry.path().filename().string();
            if (name != "out.txt" && name != "err.txt") names.push_back(name);
        }
        std::sort(names.begin(), names.end());
        return names;
    }

    std::vector<std::string> filesIn(const std::string& folder) const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(work / folder)) names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    RgbaPicture picture(const std::string& path) const {
        RgbaPicture read;
        std::string error;
        EXPECT_TRUE(readPng((work / path).string(), read, error)) << error;
        return read;
    }

    void expectUsageError(const std::string& arguments, const std::string& named) const {
        const Result result = capture(arguments);
        EXPECT_EQ(result.status, 2) << arguments;
        EXPECT_NE(result.err.find(named), std::string::npos) << arguments << ": " << result.err;
        EXPECT_NE(result.err.find("Try 'tidewash-capture --help'"), std::string::npos) << result.err;
        EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 2) << result.err;
        EXPECT_TRUE(written().empty()) << arguments;
    }

    std::string program;
    std::string soundtrack;
    fs::path work;
};

// Mean of one channel (0 red, 1 green, 2 blue) over a rectangle, 0 to 255.
double channelMean(const RgbaPicture& image, int channel, int x0, int y0, int x1, int y1) {
    double sum = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) sum += image.pixels[(std::size_t(y) * image.width + x) * 4 + channel];
    return sum / (double(x1 - x0) * (y1 - y0));
}

double brightness(const RgbaPicture& image) {
    return (channelMean(image, 0, 0, 0, image.width, image.height) + channelMean(image, 1, 0, 0, image.width, image.height) +
            channelMean(image, 2, 0, 0, image.width, image.height)) / 3;
}

// Pixels whose three channels are all at least `level`.
int brightPixels(const RgbaPicture& image, int level) {
    int count = 0;
    for (std::size_t i = 0; i < image.pixels.size(); i += 4)
        if (image.pixels[i] >= level && image.pixels[i + 1] >= level && image.pixels[i + 2] >= level) ++count;
    return count;
}

TEST_F(CaptureRun, HelpAndVersionGoToStandardOutput) {
    const Result help = capture("--help");
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.out.rfind("Usage: tidewash-capture --out PATH", 0), 0u) << help.out;
    for (const char* option : {"--fps", "--size", "--from", "--to", "--stills", "--stretch", "--soundtrack",
                               "--force", "--quiet", "--version"})
        EXPECT_NE(help.out.find(option), std::string::npos) << option;
    const Result version = capture("--version");
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out.rfind("tidewash-capture (Vorn Tidewash Demo) 0.3\n", 0), 0u) << version.out;
    EXPECT_TRUE(written().empty());
}

TEST_F(CaptureRun, TwoCapturesOfTheSameRangeGiveTheSameBytes) {
    // Inside the tunnel entry, and across the switch to the title picture.
    for (const std::string range : {"--from 80000 --to 80600", "--from 31000 --to 31800"}) {
        ASSERT_EQ(capture("--fps 10 --size 160x120 --quiet " + range + " --out first").status, 0);
        ASSERT_EQ(capture("--fps 10 --size 160x120 --quiet " + range + " --out second").status, 0);
        const std::vector<std::string> frames = filesIn("first");
        ASSERT_EQ(frames, filesIn("second"));
        ASSERT_GE(frames.size(), 6u);
        for (const std::string& frame : frames)
            EXPECT_EQ(readFile(work / "first" / frame), readFile(work / "second" / frame)) << range << " " << frame;
        // The frames move: not one picture written many times.
        EXPECT_NE(readFile(work / "first" / frames.front()), readFile(work / "first" / frames.back())) << range;
        fs::remove_all(work / "first");
        fs::remove_all(work / "second");
    }
}

TEST_F(CaptureRun, AStillIsTheFrameAtItsTimeOfALongerCapture) {
    ASSERT_EQ(capture("--fps 20 --size 160x120 --quiet --from 31000 --to 32000 --out sequence").status, 0);
    ASSERT_EQ(capture("--fps 20 --size 160x120 --quiet --stills 31420,31999 --out stills").status, 0);
    // At 20 fps frames are 50 ms apart: 31420 is on screen in frame 628
    // (31400), the 9th written; 31999 in frame 639, the 20th.
    EXPECT_EQ(readFile(work / "stills" / "31420.png"), readFile(work / "sequence" / "frame-000008.png"));
    EXPECT_EQ(readFile(work / "stills" / "31999.png"), readFile(work / "sequence" / "frame-000019.png"));
    EXPECT_NE(readFile(work / "stills" / "31420.png"), readFile(work / "sequence" / "frame-000009.png"));
}

TEST_F(CaptureRun, FrameCountsAndNamesFollowFromToFpsAndStills) {
    ASSERT_EQ(capture("--fps 24 --size 64x48 --quiet --from 1000 --to 2000 --out a").status, 0);
    std::vector<std::string> expected;
    for (int frame = 0; frame < 24; ++frame) {
        char name[32];
        std::snprintf(name, sizeof name, "frame-%06d.png", frame);
        expected.push_back(name);
    }
    EXPECT_EQ(filesIn("a"), expected);

    ASSERT_EQ(capture("--fps 7 --size 64x48 --quiet --to 1000 --out b").status, 0);
    EXPECT_EQ(filesIn("b").size(), 7u);

    // Without --to the capture runs to the show's end: at 1 fps the last
    // entry ends in the first frame past 123569 ms of schedule.
    ASSERT_EQ(capture("--fps 1 --size 64x48 --quiet --from 120000 --out c").status, 0);
    const std::vector<std::string> tail = filesIn("c");
    ASSERT_GE(tail.size(), 4u);
    EXPECT_LE(tail.size(), 12u);

    ASSERT_EQ(capture("--fps 30 --size 64x48 --quiet --stills 500,0,123569 --out d").status, 0);
    EXPECT_EQ(filesIn("d"), (std::vector<std::string>{"0.png", "123569.png", "500.png"}));
    EXPECT_EQ(picture("d/500.png").width, 64);
    EXPECT_EQ(picture("d/500.png").height, 48);
}

TEST_F(CaptureRun, StillsShowWhatEachEntryShows) {
    ASSERT_EQ(capture("--fps 30 --size 320x240 --quiet --stills 5000,40000,80000,100000 --out s").status, 0);

    // The particle cloud: dark, with bright dots.
    const RgbaPicture particles = picture("s/5000.png");
    EXPECT_LT(brightness(particles), 60);
    EXPECT_GT(brightPixels(particles, 160), 50);

    // The title picture: cream paper, and the blue logo in the lower right.
    const RgbaPicture object = picture("s/40000.png");
    EXPECT_GT(channelMean(object, 0, 0, 0, 320, 240), 180);
    EXPECT_GT(channelMean(object, 1, 0, 0, 320, 240), 180);
    EXPECT_LT(channelMean(object, 2, 0, 0, 320, 240), channelMean(object, 0, 0, 0, 320, 240) - 15);
    int bluePixels = 0;
    for (int y = 160; y < 240; ++y)
        for (int x = 160; x < 320; ++x) {
            const std::uint8_t* pixel = &object.pixels[(std::size_t(y) * 320 + x) * 4];
            if (pixel[2] > pixel[0] + 60) ++bluePixels;
        }
    EXPECT_GT(bluePixels, 300);

    // The tunnel: its blue tint at half opacity over the white the object
    // scene left as the clear colour, the open far end white.
    const RgbaPicture tunnel = picture("s/80000.png");
    EXPECT_GT(channelMean(tunnel, 2, 0, 0, 320, 240), channelMean(tunnel, 0, 0, 0, 320, 240));
    EXPECT_GT(brightness(tunnel), 90);
    EXPECT_GT(channelMean(tunnel, 0, 157, 117, 163, 123), 200);

    // The close: nothing but the white clear colour.
    const RgbaPicture grid = picture("s/100000.png");
    EXPECT_EQ(brightPixels(grid, 255), 320 * 240);
}

TEST_F(CaptureRun, OtherAspectsKeepTheFourToThreePictureBetweenBlackBars) {
    ASSERT_EQ(capture("--fps 5 --size 1920x1080 --quiet --stills 40000 --out wide").status, 0);
    const RgbaPicture wide = picture("wide/40000.png");
    ASSERT_EQ(wide.width, 1920);
    ASSERT_EQ(wide.height, 1080);
    for (int channel = 0; channel < 3; ++channel) {
        EXPECT_EQ(channelMean(wide, channel, 0, 0, 240, 1080), 0);
        EXPECT_EQ(channelMean(wide, channel, 1680, 0, 1920, 1080), 0);
    }
    // The cream picture reaches both edges of its 1440 columns.
    EXPECT_GT(channelMean(wide, 0, 240, 0, 250, 1080), 150);
    EXPECT_GT(channelMean(wide, 0, 1670, 0, 1680, 1080), 150);

    ASSERT_EQ(capture("--fps 5 --size 1920x1080 --stretch --quiet --stills 40000 --out stretched").status, 0);
    const RgbaPicture stretched = picture("stretched/40000.png");
    EXPECT_GT(channelMean(stretched, 0, 0, 0, 10, 1080), 150);
    EXPECT_GT(channelMean(stretched, 0, 1910, 0, 1920, 1080), 150);
}

// Runs a command and returns what it wrote on its standard output.
std::string output(const std::string& command) {
    std::string text;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return text;
    char buffer[65536];
    std::size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) text.append(buffer, got);
    pclose(pipe);
    return text;
}

TEST_F(CaptureRun, AVideoHasH264AndAacAndTheAccentMeetsTheSceneChange) {
    ASSERT_EQ(capture("--fps 60 --size 320x240 --quiet --from 10000 --to 11500 --out cue.mp4").status, 0);
    EXPECT_EQ(written(), std::vector<std::string>{"cue.mp4"});
    const std::string video = (work / "cue.mp4").string();
    const std::string streams = output("ffprobe -v error -show_entries stream=codec_name,pix_fmt,nb_frames,duration "
                                       "-of compact=p=0 '" + video + "'");
    EXPECT_NE(streams.find("codec_name=h264|pix_fmt=yuv420p|duration=1.500000|nb_frames=90"), std::string::npos)
        << streams;
    EXPECT_NE(streams.find("codec_name=aac"), std::string::npos) << streams;
    const std::size_t audioDuration = streams.find("duration=", streams.find("codec_name=aac"));
    ASSERT_NE(audioDuration, std::string::npos);
    EXPECT_NEAR(std::stod(streams.substr(audioDuration + 9)), 1.5, 0.025) << streams;

    // The accent: the first 5 ms of sound four times as loud as the 100 ms
    // before it.
    const std::string sound = output("ffmpeg -v error -i '" + video + "' -map 0:a -ac 1 -ar 44100 -f s16le -");
    const std::size_t samples = sound.size() / 2;
    const auto sample = [&sound](std::size_t i) {
        return double(std::int16_t(std::uint8_t(sound[2 * i]) | (std::uint8_t(sound[2 * i + 1]) << 8)));
    };
    const auto energy = [&](std::size_t from, std::size_t count) {
        double sum = 0;
        for (std::size_t i = from; i < from + count; ++i) sum += sample(i) * sample(i);
        return sum / double(count);
    };
    double accent = -1;
    for (std::size_t at = 4410; at + 220 < samples; at += 44)
        if (energy(at, 220) > 16 * energy(at - 4410, 4410)) {
            accent = double(at) / 44100;
            break;
        }
    ASSERT_GT(accent, 0) << "no accent in the sound";

    // The picture: the title lettering's first frame flashes white.
    const std::string frames = output("ffmpeg -v error -i '" + video + "' -map 0:v -pix_fmt gray -f rawvideo -");
    const std::size_t frameBytes = 320 * 240;
    ASSERT_EQ(frames.size(), 90 * frameBytes);
    int firstTitleFrame = -1;
    for (int frame = 0; frame < 90 && firstTitleFrame < 0; ++frame) {
        double sum = 0;
        for (std::size_t i = 0; i < frameBytes; ++i) sum += std::uint8_t(frames[frame * frameBytes + i]);
        if (sum / frameBytes > 128) firstTitleFrame = frame;
    }
    ASSERT_GE(firstTitleFrame, 1) << "no title frame";
    // The entry switches in the first frame past its duration, and the new
    // scene draws from the frame after: the frame before the first title
    // frame is the one in which the music passed the cue.
    // It lies within one frame after the accent (the onset is found to 5 ms).
    const double switchingFrame = double(firstTitleFrame - 1) / 60;
    EXPECT_GE(switchingFrame, accent - 0.005) << "accent at " << accent << " s, title from frame " << firstTitleFrame;
    EXPECT_LE(switchingFrame, accent + 1.0 / 60 + 0.005)
        << "accent at " << accent << " s, title from frame " << firstTitleFrame;
}

TEST_F(CaptureRun, BadOptionsWriteOneLineAndNothingElse) {
    expectUsageError("--fps 0 --out f", "--fps '0'");
    expectUsageError("--fps 1001 --out f", "--fps '1001'");
    expectUsageError("--size 0x0 --out f", "--size '0x0'");
    expectUsageError("--size 12 --out f", "--size '12'");
    expectUsageError("--from 5000 --to 4000 --out f", "--from 5000 is not before --to 4000");
    expectUsageError("--to 200000 --out f", "beyond the end of the show");
    expectUsageError("--stills 100,abc --out f", "--stills 'abc'");
    expectUsageError("--frobnicate --out f", "unrecognized option '--frobnicate'");
    expectUsageError("", "no --out");
}

TEST_F(CaptureRun, FailuresWriteOneClearLineAndLeaveNothing) {
    const auto expectFailure = [this](const Result& result, const std::string& named) {
        EXPECT_EQ(result.status, 1) << result.err;
        EXPECT_EQ(result.err.rfind("ERROR: ", 0), 0u) << result.err;
        EXPECT_NE(result.err.find(named), std::string::npos) << result.err;
        EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1) << result.err;
    };
    expectFailure(capture("--quiet --to 100 --out f --soundtrack missing.mp3"), "Cannot find file quietfall.mp3!");
    EXPECT_TRUE(written().empty());

    std::ofstream(work / "taken.mp4") << "mine";
    expectFailure(capture("--quiet --to 100 --out taken.mp4"), "taken.mp4 exists; give --force");
    EXPECT_EQ(readFile(work / "taken.mp4"), "mine");
    fs::remove(work / "taken.mp4");

    std::ofstream(work / "plain") << "a file";
    expectFailure(capture("--quiet --to 100 --out plain/frames"), "cannot write to plain/frames");
    fs::remove(work / "plain");

    expectFailure(capture("--quiet --to 100 --size 40000x30000 --out big"), "larger than this OpenGL renders");
    EXPECT_TRUE(written().empty());

    expectFailure(capture("--quiet --to 100 --out f", "__EGL_VENDOR_LIBRARY_FILENAMES=/nonexistent.json"),
                  "no headless OpenGL");
    EXPECT_TRUE(written().empty());

    // No ffmpeg on the PATH, and an ffmpeg that fails.
    expectFailure(capture("--quiet --to 100 --out v.mp4", "PATH=/nonexistent"), "cannot run ffmpeg");
    EXPECT_TRUE(written().empty());
    fs::create_directory(work / "bin");
    const auto fakeFfmpeg = [this](const std::string& body) {
        std::ofstream(work / "bin" / "ffmpeg") << "#!/bin/sh\n" << body << "echo 'Unknown encoder libx264' >&2\nexit 1\n";
        fs::permissions(work / "bin" / "ffmpeg", fs::perms::owner_all);
    };
    fakeFfmpeg("/bin/cat > /dev/null\n");
    expectFailure(capture("--quiet --to 1000 --out v.mp4", "PATH=" + (work / "bin").string()),
                  "ffmpeg failed with status 1: Unknown encoder libx264");
    fakeFfmpeg("");
    expectFailure(capture("--quiet --to 5000 --out v.mp4", "PATH=" + (work / "bin").string()),
                  "ffmpeg stopped reading its input: Unknown encoder libx264");
    fs::remove_all(work / "bin");
    EXPECT_TRUE(written().empty());
}

TEST_F(CaptureRun, AFullDiskIsAFailureThatLeavesNothing) {
    if (geteuid() != 0) GTEST_SKIP() << "needs root to mount a small file system";
    const fs::path small = work / "small";
    fs::create_directory(small);
    ASSERT_EQ(std::system(("mount -t tmpfs -o size=256k tmpfs '" + small.string() + "'").c_str()), 0);
    const Result result = capture("--quiet --size 320x240 --to 5000 --out small/frames");
    const std::vector<std::string> left = [&] {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(small)) names.push_back(entry.path().filename().string());
        return names;
    }();
    EXPECT_EQ(std::system(("umount '" + small.string() + "'").c_str()), 0);
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.err.find("No space left on device"), std::string::npos) << result.err;
    EXPECT_TRUE(left.empty());
}

// Starts a long capture, waits until it writes, and sends it `signal`.
Result interrupted(const CaptureRun& test, const fs::path& work, const std::string& program,
                   const std::string& soundtrack, const std::string& out, int signal) {
    const pid_t child = fork();
    if (child == 0) {
        if (chdir(work.c_str()) != 0) _exit(127);
        unsetenv("DISPLAY");
        execl(program.c_str(), program.c_str(), "--quiet", "--size", "320x240", "--soundtrack", soundtrack.c_str(),
              "--out", out.c_str(), nullptr);
        _exit(127);
    }
    // Its work folder appears at once; give it time to write frames into it.
    const auto started = std::chrono::steady_clock::now();
    while (std::chrono::steady_clock::now() - started < std::chrono::seconds(20)) {
        bool writing = false;
        for (const auto& entry : fs::directory_iterator(work))
            if (entry.path().filename().string().find(".partial-") != std::string::npos)
                writing = !fs::is_empty(entry.path());
        if (writing) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    kill(child, signal);
    int status = 0;
    waitpid(child, &status, 0);
    (void)test;
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, "", ""};
}

TEST_F(CaptureRun, AnInterruptedCaptureRemovesWhatItWrote) {
    EXPECT_EQ(interrupted(*this, work, program, soundtrack, "frames", SIGINT).status, 130);
    EXPECT_TRUE(written().empty());
    EXPECT_EQ(interrupted(*this, work, program, soundtrack, "video.mp4", SIGTERM).status, 143);
    EXPECT_TRUE(written().empty());
}

}  // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (argc > 2) {
        programUnderTest = argv[1];
        soundtrackUnderTest = argv[2];
    }
    return RUN_ALL_TESTS();
}
