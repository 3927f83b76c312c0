// The soundtrack the build made, decoded as the demo's audio layer decodes it.

#include "tests/soundtrack/DecodedTrack.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

namespace {

const std::string builtSoundtrack = TIDEWASH_SOUNDTRACK_PATH;
const std::string synthesizer = QUIETFALL_SYNTH_PATH;

// Scene changes the music marks with an accent, in seconds.
const double titleLettering = 10.700;
const double titlePicture = 31.410;
const double tunnel = 72.410;
// The schedule ends here; after it the music may fade to silence.
const double scheduleEnd = 123.569;

const double requiredRise = 2.0;        // +6 dB
const double silenceFloor = 0.0056;     // -45 dBFS RMS over one second

class BuiltSoundtrack : public testing::Test {
protected:
    static void SetUpTestSuite() {
        track = std::make_unique<DecodedTrack>(builtSoundtrack);
        mid = track->mid();
    }
    static void TearDownTestSuite() { track.reset(); }

    static std::unique_ptr<DecodedTrack> track;
    static std::vector<float> mid;
};

std::unique_ptr<DecodedTrack> BuiltSoundtrack::track;
std::vector<float> BuiltSoundtrack::mid;

std::vector<char> readBytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::vector<char>(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

std::vector<char> synthesize(const std::string& path) {
    const std::string command = "'" + synthesizer + "' '" + path + "'";
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    std::vector<char> bytes = readBytes(path);
    std::remove(path.c_str());
    return bytes;
}

// One second of a tone that steps up by 20 dB at stepSeconds.
std::vector<float> steppedSignal(long sampleRate, double stepSeconds) {
    std::vector<float> signal(static_cast<std::size_t>(sampleRate));
    for (std::size_t i = 0; i < signal.size(); ++i) {
        const float level = static_cast<double>(i) / sampleRate < stepSeconds ? 0.05f : 0.5f;
        signal[i] = level * std::sin(0.0627f * static_cast<float>(i));
    }
    return signal;
}

}  // namespace

TEST_F(BuiltSoundtrack, IsStereoAt44100HzAndOutlastsTheScheduleWithItsFade) {
    EXPECT_EQ(track->sampleRate(), 44100);
    EXPECT_EQ(track->channels(), 2);
    EXPECT_GE(track->seconds(), 126.0);
}

TEST_F(BuiltSoundtrack, NoSecondIsSilentUntilTheScheduleEnds) {
    for (int second = 0; second < 124; ++second) {
        EXPECT_GT(rmsOf(mid, track->sampleRate(), second, second + 1), silenceFloor) << "second " << second;
    }
}

TEST_F(BuiltSoundtrack, FadesOutAfterTheScheduleEnds) {
    const double lastSecond = rmsOf(mid, track->sampleRate(), track->seconds() - 1.0, track->seconds());
    const double closingBars = rmsOf(mid, track->sampleRate(), scheduleEnd - 5.0, scheduleEnd);
    EXPECT_LT(lastSecond, 0.1 * closingBars);
}

TEST_F(BuiltSoundtrack, PeaksBelowFullScaleButNearIt) {
    const float peak = track->peak();
    EXPECT_LT(peak, 1.0f);
    EXPECT_GT(peak, 0.5f);
}

TEST_F(BuiltSoundtrack, HasAStereoImage) {
    const double midLevel = rmsOf(mid, track->sampleRate(), 0.0, track->seconds());
    EXPECT_GT(track->sideRms(), 0.1 * midLevel);
}

TEST_F(BuiltSoundtrack, RisesClearlyAtTheTitleTheThemeAndTheTunnel) {
    for (const double cue : {titleLettering, titlePicture, tunnel}) {
        EXPECT_GE(energyRiseAt(mid, track->sampleRate(), cue), requiredRise) << "cue at " << cue << " s";
    }
}

TEST_F(BuiltSoundtrack, BuildsUpBeforeTheTheme) {
    // The second before the build starts against the build's last second before its breath.
    const double beforeBuild = rmsOf(mid, track->sampleRate(), 28.3, 29.3);
    const double build = rmsOf(mid, track->sampleRate(), 30.1, 31.1);
    EXPECT_GT(build, 1.4 * beforeBuild);
}

TEST(EnergyRise, FindsOnlyAnOnsetWithin50MsOfTheCue) {
    const long rate = 44100;
    EXPECT_GE(energyRiseAt(steppedSignal(rate, 0.50), rate, 0.50), requiredRise);
    EXPECT_GE(energyRiseAt(steppedSignal(rate, 0.46), rate, 0.50), requiredRise);
    EXPECT_GE(energyRiseAt(steppedSignal(rate, 0.54), rate, 0.50), requiredRise);
    EXPECT_LT(energyRiseAt(steppedSignal(rate, 2.00), rate, 0.50), requiredRise) << "a flat signal";
    EXPECT_LT(energyRiseAt(steppedSignal(rate, 0.30), rate, 0.50), requiredRise) << "an early onset";
    EXPECT_LT(energyRiseAt(steppedSignal(rate, 0.60), rate, 0.50), requiredRise) << "a late onset";
}

TEST(SoundtrackBuild, GivesTheSameBytesEveryTime) {
    const std::string directory = testing::TempDir();
    const std::vector<char> first = synthesize(directory + "quietfall_first.mp3");
    const std::vector<char> second = synthesize(directory + "quietfall_second.mp3");
    ASSERT_GT(first.size(), 1000000u);
    EXPECT_TRUE(first == second);
    EXPECT_TRUE(first == readBytes(builtSoundtrack)) << "the built soundtrack is out of date";
}
