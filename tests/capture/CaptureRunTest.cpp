// The real tidewash-capture program, run as a user runs it, with no display:
// what it writes, frame by frame and byte by byte, and how it fails.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
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

// The program under test, the soundtrack it plays and the library that takes
// RENAME_NOREPLACE away, from the command line.
std::string programUnderTest;
std::string soundtrackUnderTest;
std::string noReplaceRefusedUnderTest;

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

// ffprobe's view of a file's streams, one line a stream: "codec_name=h264|...".
std::string streamsOf(const fs::path& file, const std::string& entries) {
    return output("ffprobe -v error -show_entries stream=" + entries + " -of compact=p=0 '" + file.string() + "'");
}

// The value of `name` in the line of ffprobe's output that holds `stream`.
std::string entry(const std::string& streams, const std::string& stream, const std::string& name) {
    const std::size_t line = streams.find(stream);
    const std::size_t at = line == std::string::npos ? line : streams.find(name + "=", line);
    if (at == std::string::npos) return "";
    const std::size_t start = at + name.size() + 1;
    return streams.substr(start, streams.find_first_of("|\n", start) - start);
}

// The sound of a file, mono, 16 bits at 44100 Hz, as ffmpeg decodes it.
std::vector<std::int16_t> monoSound(const fs::path& file) {
    const std::string bytes = output("ffmpeg -v error -i '" + file.string() + "' -map 0:a -ac 1 -ar 44100 -f s16le -");
    std::vector<std::int16_t> samples(bytes.size() / 2);
    std::memcpy(samples.data(), bytes.data(), samples.size() * 2);
    return samples;
}

// Mean of one channel (0 red, 1 green, 2 blue) over a rectangle, 0 to 255.
double channelMean(const RgbaPicture& image, int channel, int x0, int y0, int x1, int y1) {
    double sum = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) sum += image.pixels[(std::size_t(y) * image.width + x) * 4 + channel];
    return sum / (double(x1 - x0) * (y1 - y0));
}

// Mean of one channel of RGB frames, 3 bytes a pixel.
double rgbMean(const std::string& rgb, int channel) {
    double sum = 0;
    for (std::size_t i = std::size_t(channel); i < rgb.size(); i += 3) sum += std::uint8_t(rgb[i]);
    return sum / double(rgb.size() / 3);
}

// The picture's pixels without alpha, as ffmpeg gives rgb24.
std::string rgbOf(const RgbaPicture& image) {
    std::string rgb;
    for (std::size_t i = 0; i < image.pixels.size(); i += 4)
        rgb.append(reinterpret_cast<const char*>(&image.pixels[i]), 3);
    return rgb;
}

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

    // Runs the program with no display in the work folder, or in `folder`
    // inside it; `environment` goes before it on the command line (VAR=value
    // ...), and `launcher` before that (a program that runs it).
    Result capture(const std::string& arguments, const std::string& environment = "", const std::string& launcher = "",
                   const std::string& folder = ".") const {
        const std::string command = "cd '" + (work / folder).string() + "' && " + launcher + " env -u DISPLAY " +
                                    environment + " '" + program + "' --soundtrack '" + soundtrack + "' " + arguments +
                                    " > '" + (work / "out.txt").string() + "' 2> '" + (work / "err.txt").string() + "'";
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

    // The video's first frame, decoded as a player does (by the matrix and
    // range its tags name, with exact arithmetic), has the still's colours.
    void expectColoursOf(const std::string& video, const std::string& still) const {
        const std::string streams =
            streamsOf(work / video, "codec_name,color_range,color_space,color_transfer,color_primaries");
        EXPECT_NE(streams.find("codec_name=h264|color_range=tv|color_space=bt709|color_transfer=bt709|"
                               "color_primaries=bt709"),
                  std::string::npos)
            << streams;
        const std::string shown = output("ffmpeg -v error -i '" + (work / video).string() +
                                         "' -vf scale=in_color_matrix=auto:in_range=auto:flags=accurate_rnd+"
                                         "full_chroma_int,format=rgb24 -frames:v 1 -f rawvideo -");
        const RgbaPicture expected = picture(still);
        ASSERT_EQ(shown.size(), std::size_t(expected.width) * expected.height * 3) << video;
        for (int channel = 0; channel < 3; ++channel)
            EXPECT_NEAR(rgbMean(shown, channel), channelMean(expected, channel, 0, 0, expected.width, expected.height),
                        1.5)
                << video << " channel " << channel;
    }

    std::string program;
    std::string soundtrack;
    fs::path work;
};

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
    for (const char* option : {"--fps", "--size", "--from", "--to", "--stills", "--stretch", "--supersample",
                               "60000/1001", ".mkv", "--soundtrack", "--force", "--quiet", "--version"})
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

TEST_F(CaptureRun, FramesReadBottomRowFirstAreTheSame) {
    // Where the GL cannot give the rows top row first, the capture turns them
    // itself, to the same bytes, supersampled or not. The title picture, with
    // the logo in its lower right, is not the same upside down.
    const std::string withoutInvert = "MESA_EXTENSION_OVERRIDE=-GL_MESA_pack_invert";
    for (const std::string factor : {"1", "2"}) {
        const std::string arguments = "--fps 10 --size 161x120 --quiet --stills 5000,40000 --supersample " + factor;
        ASSERT_EQ(capture(arguments + " --out top").status, 0);
        ASSERT_EQ(capture(arguments + " --out bottom", withoutInvert).status, 0);
        const std::vector<std::string> stills = filesIn("top");
        ASSERT_EQ(stills, filesIn("bottom"));
        ASSERT_EQ(stills.size(), 2u);
        for (const std::string& still : stills)
            EXPECT_EQ(readFile(work / "top" / still), readFile(work / "bottom" / still)) << factor << " " << still;
        fs::remove_all(work / "top");
        fs::remove_all(work / "bottom");
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

TEST_F(CaptureRun, OtherAspectsKeepTheFourToThreePictureBetweenBlackBarsInTheStillsColours) {
    ASSERT_EQ(capture("--fps 1 --size 1920x1080 --quiet --stills 40000 --out wide").status, 0);
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
    // Full HD video shows it in the same colours.
    ASSERT_EQ(capture("--fps 1 --size 1920x1080 --quiet --from 40000 --to 41000 --out wide.mp4").status, 0);
    expectColoursOf("wide.mp4", "wide/40000.png");

    ASSERT_EQ(capture("--fps 1 --size 1920x1080 --stretch --quiet --stills 40000 --out stretched").status, 0);
    const RgbaPicture stretched = picture("stretched/40000.png");
    EXPECT_GT(channelMean(stretched, 0, 0, 0, 10, 1080), 150);
    EXPECT_GT(channelMean(stretched, 0, 1910, 0, 1920, 1080), 150);
}

TEST_F(CaptureRun, AVideoShowsTheStillsColoursTaggedBt709) {
    ASSERT_EQ(capture("--fps 1 --size 800x600 --quiet --stills 40000 --out still").status, 0);
    ASSERT_EQ(capture("--fps 1 --size 800x600 --quiet --from 40000 --to 41000 --out title.mp4").status, 0);
    expectColoursOf("title.mp4", "still/40000.png");
}

// Where the first `length` samples of `sound` lie in `music`, searched
// within `range` samples either side of `expected`: the offset of the
// highest normalised correlation, and that correlation (1: the same sound).
std::pair<long, double> foundAt(const std::vector<std::int16_t>& sound, const std::vector<std::int16_t>& music,
                                long expected, long range, std::size_t length) {
    std::pair<long, double> best{-1, -1.0};
    double soundEnergy = 0;
    for (std::size_t i = 0; i < length; ++i) soundEnergy += double(sound[i]) * sound[i];
    for (long offset = std::max(0L, expected - range); offset <= expected + range; ++offset) {
        if (std::size_t(offset) + length > music.size()) break;
        double product = 0;
        double musicEnergy = 0;
        for (std::size_t i = 0; i < length; ++i) {
            product += double(sound[i]) * music[std::size_t(offset) + i];
            musicEnergy += double(music[std::size_t(offset) + i]) * music[std::size_t(offset) + i];
        }
        const double correlation = product / std::sqrt(soundEnergy * musicEnergy + 1);
        if (correlation > best.second) best = {offset, correlation};
    }
    return best;
}

TEST_F(CaptureRun, TheSoundStartsUnderTheFirstFrameAndLastsAsLongAsTheFrames) {
    const std::vector<std::int16_t> music = monoSound(soundtrack);
    struct Case {
        std::string rate;
        std::string range;  // --from between two frames
        long firstFrameMs;  // the position of the frame on screen at --from
        int frames;
        double seconds;  // frames x the exact frame interval
    };
    const Case cases[] = {{"2", "--from 10400 --to 11400", 10000, 3, 1.5},
                          {"25", "--from 10430 --to 10900", 10400, 13, 0.52},
                          // Frame 7193 is at 120003.05 ms, at the end of the show.
                          {"60000/1001", "--from 120005 --to 120500", 120003, 30, 0.5005}};
    for (const Case& at : cases) {
        const std::string what = at.rate + " fps " + at.range;
        ASSERT_EQ(capture("--fps " + at.rate + " --size 64x48 --quiet " + at.range + " --out sync.mp4").status, 0);
        const std::string streams = streamsOf(work / "sync.mp4", "codec_name,r_frame_rate,nb_frames,duration");
        EXPECT_EQ(entry(streams, "codec_name=h264", "r_frame_rate"), at.rate.find('/') == std::string::npos
                                                                         ? at.rate + "/1" : at.rate) << what;
        EXPECT_EQ(entry(streams, "codec_name=h264", "nb_frames"), std::to_string(at.frames)) << what;
        EXPECT_NEAR(std::stod("0" + entry(streams, "codec_name=h264", "duration")), at.seconds, 0.001) << what;
        EXPECT_NEAR(std::stod("0" + entry(streams, "codec_name=aac", "duration")), at.seconds, 0.001) << what;

        const std::vector<std::int16_t> sound = monoSound(work / "sync.mp4");
        ASSERT_GE(sound.size(), 13230u) << what;
        const long expected = at.firstFrameMs * 441 / 10;
        const auto [offset, correlation] = foundAt(sound, music, expected, 4410, 13230);
        EXPECT_GT(correlation, 0.9) << what;
        EXPECT_LE(std::abs(offset - expected), 44) << what << ": the sound starts at " << offset / 44.1 << " ms";
        fs::remove(work / "sync.mp4");
    }
}

TEST_F(CaptureRun, AnArchiveHoldsEveryFrameExactlyAndLosslessSound) {
    // Across the switch to the title picture, at an odd width.
    ASSERT_EQ(capture("--fps 10 --size 161x120 --quiet --from 31000 --to 31600 --out archive.mkv").status, 0);
    ASSERT_EQ(capture("--fps 10 --size 161x120 --quiet --from 31000 --to 31600 --out frames").status, 0);
    const std::string streams = streamsOf(work / "archive.mkv", "codec_name,pix_fmt,sample_rate,channels");
    EXPECT_EQ(entry(streams, "codec_name=ffv1", "pix_fmt"), "bgr0") << streams;  // RGB, 8 bits, no subsampling
    EXPECT_NE(streams.find("codec_name=flac|sample_rate=44100|channels=2"), std::string::npos) << streams;

    const std::string decoded = output("ffmpeg -v error -i '" + (work / "archive.mkv").string() +
                                       "' -map 0:v -f rawvideo -pix_fmt rgb24 -");
    const std::vector<std::string> frames = filesIn("frames");
    const std::size_t frameBytes = 161 * 120 * 3;
    ASSERT_EQ(frames.size(), 6u);
    ASSERT_EQ(decoded.size(), frames.size() * frameBytes);
    for (std::size_t i = 0; i < frames.size(); ++i)
        EXPECT_TRUE(decoded.compare(i * frameBytes, frameBytes, rgbOf(picture("frames/" + frames[i]))) == 0)
            << frames[i];
    // FLAC keeps every sample: 0.6 s exactly.
    EXPECT_EQ(monoSound(work / "archive.mkv").size(), 26460u);
}

TEST_F(CaptureRun, SupersamplingIsACaptureAtNTimesTheSizeAveragedDown) {
    // The title lettering and the logo's edges over black.
    for (const int factor : {2, 3}) {
        const std::string large = std::to_string(80 * factor) + "x" + std::to_string(60 * factor);
        ASSERT_EQ(capture("--fps 10 --size 80x60 --supersample " + std::to_string(factor) +
                          " --quiet --stills 11000,25000 --out small").status, 0);
        ASSERT_EQ(capture("--fps 10 --size " + large + " --quiet --stills 11000,25000 --out large").status, 0);
        for (const std::string still : {"11000.png", "25000.png"}) {
            const RgbaPicture small = picture("small/" + still);
            const RgbaPicture big = picture("large/" + still);
            ASSERT_EQ(small.width, 80);
            ASSERT_EQ(small.height, 60);
            int differing = 0;
            int between = 0;  // pixels that are neither of their block's extremes: smoothed edges
            for (int y = 0; y < 60; ++y)
                for (int x = 0; x < 80; ++x)
                    for (int channel = 0; channel < 3; ++channel) {
                        unsigned sum = 0;
                        for (int dy = 0; dy < factor; ++dy)
                            for (int dx = 0; dx < factor; ++dx)
                                sum += big.pixels[(std::size_t(y * factor + dy) * big.width + x * factor + dx) * 4 +
                                                  channel];
                        const unsigned blockPixels = unsigned(factor * factor);
                        const unsigned mean = (sum + blockPixels / 2) / blockPixels;
                        if (small.pixels[(std::size_t(y) * 80 + x) * 4 + channel] != mean) ++differing;
                        if (sum % (255 * blockPixels) != 0 && sum != 0) ++between;
                    }
            EXPECT_EQ(differing, 0) << factor << " " << still;
            EXPECT_GT(between, 20) << factor << " " << still;
        }
        fs::remove_all(work / "small");
        fs::remove_all(work / "large");
    }
}

TEST_F(CaptureRun, PathsWorkAsPeopleTypeThem) {
    // A trailing slash, as shells complete a folder's name.
    ASSERT_EQ(capture("--fps 10 --size 64x48 --quiet --to 300 --out frames/").status, 0);
    EXPECT_EQ(filesIn("frames").size(), 3u);
    // Relative paths from a folder further down.
    fs::create_directories(work / "deep" / "er");
    const Result up = capture("--fps 10 --size 64x48 --quiet --to 300 --out ../../clip.mp4", "", "", "deep/er");
    EXPECT_EQ(up.status, 0) << up.err;
    const Result again =
        capture("--fps 10 --size 64x48 --quiet --to 200 --force --out ../frames/", "", "", "deep");
    EXPECT_EQ(again.status, 0) << again.err;
    EXPECT_EQ(filesIn("frames").size(), 2u);
    EXPECT_EQ(written(), (std::vector<std::string>{"clip.mp4", "deep", "frames"}));
    EXPECT_TRUE(fs::is_empty(work / "deep" / "er"));
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
    expectFailure(capture("--quiet --to 100 --size 8000x6000 --supersample 4 --out big"),
                  "size 8000x6000 supersampled 4 times (32000x24000) is larger than this OpenGL renders");
    EXPECT_TRUE(written().empty());
    // Out of memory at a size this OpenGL would render, with 2 GB to use.
    expectFailure(capture("--quiet --to 100 --size 12000x12000 --out big", "", "prlimit --as=2000000000"), "memory");
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

TEST_F(CaptureRun, AThreadThatCannotStartIsAFailureThatLeavesNothing) {
    if (geteuid() != 0) GTEST_SKIP() << "needs root to run the capture as another user";
    // One process for the user the capture runs as: no thread can start
    // (root is never limited). llvmpipe renders on the calling thread. That
    // user reaches copies of the program and the soundtrack in a folder open
    // to all, wherever the build is.
    const fs::path copies = work.string() + "-copies";
    fs::create_directory(copies);
    fs::copy_file(program, copies / "tidewash-capture");
    fs::copy_file(soundtrack, copies / "Quietfall.MP3");
    program = (copies / "tidewash-capture").string();
    soundtrack = (copies / "Quietfall.MP3").string();
    fs::permissions(work, fs::perms::all);
    const Result result = capture("--quiet --size 64x48 --to 500 --out frames", "LP_NUM_THREADS=0",
                                  "prlimit --nproc=1 setpriv --reuid=65534 --regid=65534 --clear-groups");
    fs::remove_all(copies);
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err, "ERROR: cannot start a writer thread: Resource temporarily unavailable\n");
    EXPECT_TRUE(written().empty());
}

TEST_F(CaptureRun, WithoutRenameNoReplaceTheOutputStillGoesSafelyInPlace) {
    const std::string preload = "LD_PRELOAD=" + noReplaceRefusedUnderTest;
    ASSERT_EQ(capture("--fps 10 --size 64x48 --quiet --to 300 --out frames", preload).status, 0);
    ASSERT_EQ(capture("--fps 10 --size 64x48 --quiet --to 300 --out clip.mp4", preload).status, 0);
    EXPECT_EQ(written(), (std::vector<std::string>{"clip.mp4", "frames"}));
    EXPECT_EQ(filesIn("frames").size(), 3u);
    EXPECT_EQ(entry(streamsOf(work / "clip.mp4", "codec_name,nb_frames"), "codec_name=h264", "nb_frames"), "3");
    const std::string clip = readFile(work / "clip.mp4");
    EXPECT_EQ(capture("--fps 10 --size 64x48 --quiet --to 300 --out clip.mp4", preload).status, 1);
    EXPECT_EQ(readFile(work / "clip.mp4"), clip);
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

// Starts a capture at 320x240 into `out` in `work`, of the whole show unless
// `toMs` says otherwise, with `path` as PATH when it is not empty.
pid_t startCapture(const fs::path& work, const std::string& out, const std::string& toMs = "123569",
                   const std::string& path = "") {
    const pid_t child = fork();
    if (child == 0) {
        if (chdir(work.c_str()) != 0) _exit(127);
        unsetenv("DISPLAY");
        if (!path.empty()) setenv("PATH", path.c_str(), 1);
        execl(programUnderTest.c_str(), programUnderTest.c_str(), "--quiet", "--size", "320x240", "--to",
              toMs.c_str(), "--soundtrack", soundtrackUnderTest.c_str(), "--out", out.c_str(), nullptr);
        _exit(127);
    }
    return child;
}

// Waits until `ready` holds, at most `limit`.
template <typename Condition>
bool waitFor(Condition ready, std::chrono::seconds limit) {
    const auto started = std::chrono::steady_clock::now();
    while (!ready()) {
        if (std::chrono::steady_clock::now() - started > limit) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

// The exit status of `child` once it ends within `limit`; -1 when it has not
// (it is then killed) or a signal ended it.
int exitStatus(pid_t child, std::chrono::seconds limit) {
    int status = 0;
    if (!waitFor([&] { return waitpid(child, &status, WNOHANG) == child; }, limit)) {
        kill(child, SIGKILL);
        waitpid(child, &status, 0);
        return -1;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Starts a long capture, waits until it writes, and sends it `signal`.
int interrupted(const fs::path& work, const std::string& out, int signal) {
    const pid_t child = startCapture(work, out);
    // Its work folder appears at once; give it time to write frames into it.
    waitFor(
        [&] {
            for (const auto& entry : fs::directory_iterator(work))
                if (entry.path().filename().string().find(".partial-") != std::string::npos)
                    return !fs::is_empty(entry.path());
            return false;
        },
        std::chrono::seconds(20));
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    kill(child, signal);
    return exitStatus(child, std::chrono::seconds(60));
}

TEST_F(CaptureRun, AnInterruptedCaptureRemovesWhatItWrote) {
    EXPECT_EQ(interrupted(work, "frames", SIGINT), 130);
    EXPECT_TRUE(written().empty());
    EXPECT_EQ(interrupted(work, "video.mp4", SIGTERM), 143);
    EXPECT_TRUE(written().empty());
}

TEST_F(CaptureRun, CtrlCDuringTheFinalEncodingStopsItAtOnce) {
    // An ffmpeg that takes a minute to finish once its input ends.
    const fs::path bin = work / "bin";
    fs::create_directory(bin);
    std::ofstream(bin / "ffmpeg") << "#!/bin/sh\nPATH=/usr/bin:/bin\ncat > /dev/null\ntouch '"
                                  << (bin / "finishing").string() << "'\nexec sleep 60\n";
    fs::permissions(bin / "ffmpeg", fs::perms::owner_all);
    const pid_t child = startCapture(work, "video.mp4", "500", bin.string());
    EXPECT_TRUE(waitFor([&] { return fs::exists(bin / "finishing"); }, std::chrono::seconds(60)));
    kill(child, SIGINT);
    // It ends long before that ffmpeg would, and leaves nothing.
    EXPECT_EQ(exitStatus(child, std::chrono::seconds(20)), 130);
    fs::remove_all(bin);
    EXPECT_TRUE(written().empty());
}

}  // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (argc > 3) {
        programUnderTest = argv[1];
        soundtrackUnderTest = argv[2];
        noReplaceRefusedUnderTest = argv[3];
    }
    return RUN_ALL_TESTS();
}
