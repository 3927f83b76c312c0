#include "capture/CaptureOptions.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

namespace {

constexpr std::uint32_t showLength = 123569;

CaptureOptions parse(std::initializer_list<const char*> arguments) {
    std::vector<std::string> words{"tidewash-capture"};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);
    return parseCaptureOptions(int(words.size()), argv.data(), showLength);
}

std::string usageError(std::initializer_list<const char*> arguments) {
    try {
        parse(arguments);
    } catch (const UsageError& error) {
        return error.what();
    }
    return "accepted";
}

TEST(CaptureOptions, DefaultsAreSixtyFramesASecondAt800x600FromTheStartToTheEnd) {
    const CaptureOptions options = parse({"--out", "frames"});
    EXPECT_EQ(options.request, CaptureOptions::Request::capture);
    EXPECT_EQ(options.fps.text(), "60");
    EXPECT_EQ(options.supersample, 1);
    EXPECT_EQ(options.width, 800);
    EXPECT_EQ(options.height, 600);
    EXPECT_EQ(options.fromMs, 0u);
    EXPECT_FALSE(options.toMs.has_value());
    EXPECT_EQ(options.soundtrack, "Quietfall.MP3");
    EXPECT_FALSE(options.wantsVideo());
    EXPECT_FALSE(options.force || options.quiet || options.stretch);
}

TEST(CaptureOptions, ReadsEveryOptionInBothSpellings) {
    const CaptureOptions options = parse({"--fps=25", "--size", "1920x1080", "--from=1000", "--to", "123569",
                                          "--out=clip.mp4", "--stretch", "--soundtrack", "/tmp/song.mp3", "--force",
                                          "--quiet", "--supersample", "4"});
    EXPECT_EQ(options.fps.text(), "25");
    EXPECT_EQ(options.supersample, 4);
    EXPECT_EQ(options.width, 1920);
    EXPECT_EQ(options.height, 1080);
    EXPECT_EQ(options.fromMs, 1000u);
    EXPECT_EQ(options.toMs, 123569u);
    EXPECT_TRUE(options.wantsVideo());
    EXPECT_FALSE(options.wantsArchive());
    EXPECT_TRUE(options.stretch && options.force && options.quiet);
    EXPECT_EQ(options.soundtrack, "/tmp/song.mp3");

    EXPECT_EQ(parse({"--out", "s", "--stills", "0,10700,123569"}).stills,
              (std::vector<std::uint32_t>{0, 10700, 123569}));
    EXPECT_EQ(parse({"--fps", "1", "--out", "s"}).fps.text(), "1");
    EXPECT_EQ(parse({"--fps", "1000", "--out", "s"}).fps.text(), "1000");
    EXPECT_TRUE(parse({"--out", "archive.mkv"}).wantsArchive());
    EXPECT_TRUE(parse({"--out", "archive.mkv"}).wantsVideo());
    // A trailing slash names a folder, whatever the name ends in.
    EXPECT_FALSE(parse({"--out", "clip.mp4/"}).wantsVideo());
}

TEST(CaptureOptions, BroadcastRatesAreExactFractions) {
    const std::vector<std::pair<const char*, const char*>> rates = {
        {"60000/1001", "60000/1001"}, {"59.94", "60000/1001"}, {"29.97", "30000/1001"}, {"23.976", "24000/1001"},
        {"30000/1001", "30000/1001"}, {"120/2", "60"}, {"1/1", "1"}, {"1000000/1000", "1000"}};
    for (const auto& [given, exact] : rates)
        EXPECT_EQ(parse({"--fps", given, "--out", "s"}).fps.text(), exact) << given;
    for (const char* bad : {"59.9", "25.0", "1/0", "999/1000", "1001/1", "/1001", "60000/", "60000/1001/2", "2/3/"})
        EXPECT_NE(usageError({"--fps", bad, "--out", "f"}).find("invalid --fps '" + std::string(bad) + "'"),
                  std::string::npos)
            << bad;
}

TEST(CaptureOptions, HelpAndVersionNeedNothingElse) {
    EXPECT_EQ(parse({"--help"}).request, CaptureOptions::Request::help);
    EXPECT_EQ(parse({"--version"}).request, CaptureOptions::Request::version);
    EXPECT_EQ(parse({"--fps", "30", "--help", "--bogus"}).request, CaptureOptions::Request::help);
}

TEST(CaptureOptions, BadValuesNameTheProblem) {
    EXPECT_EQ(usageError({"--fps", "0", "--out", "f"}),
              "invalid --fps '0': give a whole number from 1 to 1000, a fraction such as 60000/1001, or 59.94, "
              "29.97 or 23.976");
    for (const char* factor : {"0", "5", "-1", "2x", ""})
        EXPECT_EQ(usageError({"--supersample", factor, "--out", "f"}),
                  "invalid --supersample '" + std::string(factor) + "': give a whole number from 1 to 4")
            << factor;
    EXPECT_NE(usageError({"--fps", "1001", "--out", "f"}).find("--fps '1001'"), std::string::npos);
    EXPECT_NE(usageError({"--fps", "-5", "--out", "f"}).find("--fps '-5'"), std::string::npos);
    EXPECT_NE(usageError({"--fps", "30x", "--out", "f"}).find("--fps"), std::string::npos);
    for (const char* size : {"0x0", "12", "800x0", "x600", "800x", "800x600x2", "-800x600", "8OOx600", ""})
        EXPECT_NE(usageError({"--size", size, "--out", "f"}).find("invalid --size"), std::string::npos) << size;
    EXPECT_EQ(usageError({"--from", "5000", "--to", "4000", "--out", "f"}), "--from 5000 is not before --to 4000");
    EXPECT_EQ(usageError({"--from", "5000", "--to", "5000", "--out", "f"}), "--from 5000 is not before --to 5000");
    EXPECT_EQ(usageError({"--to", "123570", "--out", "f"}),
              "--to 123570 is beyond the end of the show at 123569 ms");
    EXPECT_NE(usageError({"--from", "99999999999999", "--out", "f"}).find("invalid --from"), std::string::npos);
    for (const char* list : {"1,,2", "1,x", ",1", "1,", "1;2", "1.5", "200000"})
        EXPECT_NE(usageError({"--stills", list, "--out", "f"}).find("--stills"), std::string::npos) << list;
}

TEST(CaptureOptions, BadCombinationsAreRefused) {
    EXPECT_EQ(usageError({}), "no --out: name a folder for PNG files or a file ending in .mp4 or .mkv");
    EXPECT_EQ(usageError({"--bogus", "--out", "f"}), "unrecognized option '--bogus'");
    EXPECT_EQ(usageError({"--out"}), "option '--out' needs a value");
    EXPECT_EQ(usageError({"--out", "f", "extra"}), "unexpected argument 'extra'");
    EXPECT_NE(usageError({"--stills", "5", "--from", "3", "--out", "f"}).find("--stills takes no --from"),
              std::string::npos);
    EXPECT_NE(usageError({"--stills", "5", "--out", "f.mp4"}).find("give a folder"), std::string::npos);
    EXPECT_NE(usageError({"--size", "801x600", "--out", "f.mp4"}).find("even width and height"), std::string::npos);
    EXPECT_EQ(usageError({"--size", "801x601", "--out", "f"}), "accepted");  // PNG takes any size
    EXPECT_EQ(usageError({"--size", "801x601", "--out", "f.mkv"}), "accepted");  // and so does FFV1
}

}  // namespace
