#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <thread>

#include "audio/Audio.h"
#include "tools/tone/ToneMp3.h"

namespace {

using Clock = std::chrono::steady_clock;

std::int64_t msSince(Clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

// Plays a real MP3 through SDL audio: the dummy driver, which takes samples in
// real time as a sound card would, or no device at all.
class AudioPlayback : public ::testing::Test {
protected:
    void SetUp() override { directory = toneMp3::makeTempDirectory(); }
    void TearDown() override { audio::close(); }

    MusicStream* openTone(double seconds) {
        const std::string path = directory + "/Quietfall.MP3";
        toneMp3::writeFile(path, toneMp3::encode(seconds));
        return audio::openStream(path.c_str());
    }

    static bool initWithDriver(const char* driver) {
        setenv("SDL_AUDIODRIVER", driver, 1);
        return audio::init(44100);
    }

    std::string directory;
};

// Reads the position about every millisecond for `ms` and checks that it never
// goes back and moves smoothly: between two readings it moves on by no more
// than the time that passed, give or take a few ms, never by a whole audio
// buffer (23 ms) at once.
void expectSteadyClock(MusicStream* stream, int ms) {
    std::uint32_t previous = audio::streamTime(stream);
    Clock::time_point previousRead = Clock::now();
    const Clock::time_point end = previousRead + std::chrono::milliseconds(ms);
    while (Clock::now() < end) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        const std::uint32_t now = audio::streamTime(stream);
        const Clock::time_point read = Clock::now();
        ASSERT_GE(now, previous) << "the clock went back";
        EXPECT_LE(now - previous, msSince(previousRead) + 6) << "the clock jumped";
        previous = now;
        previousRead = read;
    }
}

TEST_F(AudioPlayback, ThePositionFollowsRealTimeSmoothly) {
    ASSERT_TRUE(initWithDriver("dummy"));
    MusicStream* stream = openTone(3.0);
    ASSERT_NE(stream, nullptr);
    audio::setStreamTime(stream, 0);
    EXPECT_EQ(audio::streamTime(stream), 0u);
    const Clock::time_point started = Clock::now();
    audio::playStream(stream);
    expectSteadyClock(stream, 700);
    // Within a few audio buffers of the time that really passed.
    EXPECT_NEAR(double(audio::streamTime(stream)), double(msSince(started)), 120.0);
}

TEST_F(AudioPlayback, TheClockRunsOnAfterTheMusicEnds) {
    ASSERT_TRUE(initWithDriver("dummy"));
    MusicStream* stream = openTone(0.3);
    ASSERT_NE(stream, nullptr);
    audio::setStreamTime(stream, 0);
    audio::playStream(stream);
    std::this_thread::sleep_for(std::chrono::milliseconds(800));
    EXPECT_GT(audio::streamTime(stream), 650u);
    expectSteadyClock(stream, 100);
}

TEST_F(AudioPlayback, WithoutASoundDeviceStreamsStillOpenAndKeepTime) {
    EXPECT_FALSE(initWithDriver("no-such-driver"));
    EXPECT_EQ(audio::openStream((directory + "/missing.mp3").c_str()), nullptr);
    MusicStream* stream = openTone(0.5);
    ASSERT_NE(stream, nullptr);
    audio::setStreamTime(stream, 0);
    const Clock::time_point started = Clock::now();
    audio::playStream(stream);
    expectSteadyClock(stream, 300);
    EXPECT_NEAR(double(audio::streamTime(stream)), double(msSince(started)), 20.0);
}

// Through the sound server the environment names, when one runs
// (tests/audio/sound_servers.sh starts PulseAudio, and PipeWire at a forced
// cycle of 2048 frames, for it and listens to the sink): the position moves
// on with the sound, never back, and steadily: from one reading to the next
// it moves on by no more than the steady clock did, give or take a few ms,
// never by a whole cycle (43 ms) at once.
TEST_F(AudioPlayback, ThroughASoundServerThePositionMovesOnSteadily) {
    if (!initWithDriver("pulse")) GTEST_SKIP() << "no sound server";
    MusicStream* stream = openTone(3.0);
    ASSERT_NE(stream, nullptr);
    audio::setStreamTime(stream, 0);
    audio::playStream(stream);
    std::uint32_t position = 0;
    Clock::time_point previousRead = Clock::now();
    for (int i = 0; i < 10000 && position < 2000; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        const std::uint32_t now = audio::streamTime(stream);
        const Clock::time_point read = Clock::now();
        ASSERT_GE(now, position) << "the clock went back";
        if (position > 0) {
            ASSERT_LE(now - position, msSince(previousRead) + 6) << "the clock jumped at " << now << " ms";
        }
        position = now;
        previousRead = read;
    }
    EXPECT_GE(position, 2000u);
}

TEST_F(AudioPlayback, NoStreamHasPositionZero) {
    ASSERT_TRUE(initWithDriver("dummy"));
    EXPECT_EQ(audio::streamTime(nullptr), 0u);
    audio::setStreamTime(nullptr, 10);  // ignored, no crash
    audio::playStream(nullptr);
}

}  // namespace
