#include "web/WebAudioClock.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "base/Failure.h"
#include "tests/web/unit/PageStandIns.h"
#include "web/AudioReading.h"
#include "web/FrameShowTime.h"

namespace {

AudioReading silence(double nowMs) {
    AudioReading reading;
    reading.nowMs = nowMs;
    return reading;
}

}  // namespace

class WebAudioClockTest : public ::testing::Test {
protected:
    void SetUp() override { pageStandIns::reset(); }
};

TEST_F(WebAudioClockTest, WithoutASoundtrackStartFailsWithTheNativeMessage) {
    pageStandIns::setSoundtrackPresent(false);
    WebAudioClock clock;
    try {
        clock.start();
        FAIL() << "start() returned without a soundtrack";
    } catch (const Failure& failure) {
        EXPECT_EQ(std::string(failure.what()), "Cannot find file quietfall.mp3!");
    }
}

TEST_F(WebAudioClockTest, PositionIsTheHeardTimeInWholeMillisecondsAndGrowsOnAfterTheMusic) {
    pageStandIns::setSeconds({0.0004, 1.2349, 10.7, 65.0011, 131.5, 600.25});
    WebAudioClock clock;
    clock.start();
    for (const std::uint32_t expected : {0u, 1234u, 10700u, 65001u, 131500u, 600250u}) EXPECT_EQ(clock.position(), expected);
    EXPECT_EQ(pageStandIns::playRequests(), (std::vector<double>{0.0}));
}

TEST_F(WebAudioClockTest, SoundStillOnItsWayReadsAsZero) {
    pageStandIns::setSeconds({-0.0427, -0.001, 0.2});
    WebAudioClock clock;
    clock.start();
    EXPECT_EQ(clock.position(), 0u);
    EXPECT_EQ(clock.position(), 0u);
    EXPECT_EQ(clock.position(), 200u);
}

TEST_F(WebAudioClockTest, NeverGoesBackWhenTheBrowserRevisesItsLatency) {
    pageStandIns::setSeconds({2.0, 1.8, 1.999, 2.3});
    WebAudioClock clock;
    clock.start();
    EXPECT_EQ(clock.position(), 2000u);
    EXPECT_EQ(clock.position(), 2000u);
    EXPECT_EQ(clock.position(), 2000u);
    EXPECT_EQ(clock.position(), 2300u);
}

// A context whose clock moves on in 40 ms blocks, read at 60 Hz: one frame's
// reading is up to a block behind the next one's. Once a second of readings
// is in, the position moves on by a frame's time every frame.
TEST_F(WebAudioClockTest, AClockMovingInBlocksGivesEvenSteps) {
    const double intervalMs = 1000.0 / 60.0;
    std::vector<AudioReading> readings;
    std::vector<double> frames;
    for (int i = 0; i < 120; ++i) {
        frames.push_back(intervalMs * i);
        AudioReading reading = silence(frames.back() + 1);
        reading.running = true;
        reading.contextSeconds = std::floor(reading.nowMs / 40) * 0.04;
        readings.push_back(reading);
    }
    pageStandIns::setReadings(readings);
    pageStandIns::setFrameTimes(frames);
    WebAudioClock clock;
    clock.start();
    std::uint32_t last = 0;
    for (int i = 0; i < 120; ++i) {
        const std::uint32_t position = clock.position();
        if (i > 60) {
            EXPECT_GE(position - last, 15u) << "frame " << i;
            EXPECT_LE(position - last, 18u) << "frame " << i;
        }
        last = position;
    }
}

// Firefox's audio element: its position is the music heard and moves on in
// 40 ms steps, each seen at the first 60 Hz frame after it; frames are shown
// where they are read. It is ready at the first frame and asked to play, and
// starts 300 ms later; the show waits at 0 till then. Once a second of steps is in, the position is
// the music heard, not the middle of the steps (20 ms and more behind).
TEST_F(WebAudioClockTest, AnAudioElementsPositionInStepsIsHeardFromItsFreshestStep) {
    const double intervalMs = 1000.0 / 60.0;
    const double startsAtMs = 300;
    std::vector<AudioReading> readings;
    std::vector<double> frames;
    for (int i = 0; i < 150; ++i) {
        frames.push_back(intervalMs * i);
        AudioReading reading = silence(frames.back() + intervalMs);
        reading.running = i == 0 || reading.nowMs >= startsAtMs;  // ready, asked to play, under way
        reading.heardInSteps = true;
        reading.contextSeconds = std::max(0.0, std::floor((reading.nowMs - startsAtMs) / 40) * 0.04);
        readings.push_back(reading);
    }
    pageStandIns::setReadings(readings);
    pageStandIns::setFrameTimes(frames);
    WebAudioClock clock;
    clock.start();
    for (int i = 0; i < 150; ++i) {
        const double heardMs = readings[i].nowMs - startsAtMs;
        const double position = clock.position();
        if (heardMs <= 0) {
            EXPECT_EQ(position, 0.0) << "frame " << i;
        } else if (i > 100) {
            EXPECT_NEAR(position, heardMs, 1.5) << "frame " << i;
        }
    }
    EXPECT_EQ(pageStandIns::playRequests(), (std::vector<double>{0.0}));
}

TEST_F(WebAudioClockTest, FramePositionIsTheLastReadingWithoutReadingAgain) {
    pageStandIns::setSeconds({0.5, 0.75});
    WebAudioClock clock;
    clock.start();
    EXPECT_EQ(clock.framePosition(), 0u);
    EXPECT_EQ(clock.position(), 500u);
    EXPECT_EQ(clock.framePosition(), 500u);
    EXPECT_EQ(clock.framePosition(), 500u);
    EXPECT_EQ(clock.position(), 750u);
}

// The context may take a while to run after Start; the music starts from 0
// when it does, once, and the show waits for it at 0. Frames every 20 ms,
// each shown 20 ms after its time, when its reading is taken.
TEST_F(WebAudioClockTest, AContextThatRunsWithinASecondPlaysTheMusicFromZero) {
    AudioReading running = silence(60);
    running.running = true;
    running.contextSeconds = 0.25;
    AudioReading later = running;
    later.contextSeconds = 0.5;
    later.nowMs = 80;
    pageStandIns::setReadings({silence(20), silence(40), running, later});
    pageStandIns::setFrameTimes({0, 20, 40, 60});
    WebAudioClock clock;
    clock.start();
    EXPECT_EQ(clock.position(), 0u);
    EXPECT_EQ(clock.position(), 0u);
    EXPECT_EQ(clock.position(), 250u);  // the stand-in's music starts at context time 0
    EXPECT_EQ(clock.position(), 500u);
    EXPECT_EQ(pageStandIns::playRequests(), (std::vector<double>{0.0}));
    EXPECT_TRUE(pageStandIns::silentNotices().empty());
}

// No sound within a second: the show plays on the page's clock from then on,
// and the page is told. When the context runs later, the music starts where
// the show is when that sound is heard, and the clock follows the context.
// Frames every 500 ms, each read 1 ms into it and shown 500 ms after its time.
TEST_F(WebAudioClockTest, WithoutSoundTheShowPlaysInSilenceAndTheSoundJoinsInStep) {
    AudioReading joins = silence(2001);
    joins.running = true;
    joins.contextSeconds = 0.01;
    joins.latencySeconds = 0.05;
    AudioReading sounding = joins;
    sounding.contextSeconds = 0.51;
    sounding.nowMs = 2501;
    pageStandIns::setReadings({silence(1), silence(501), silence(1001), silence(1501), joins, sounding});
    pageStandIns::setFrameTimes({0, 500, 1000, 1500, 2000, 2500});
    pageStandIns::setMusicStartSeconds(0.51);  // half a second ahead of the context
    WebAudioClock clock;
    clock.start();
    EXPECT_EQ(clock.position(), 0u);
    EXPECT_EQ(clock.position(), 0u);
    EXPECT_TRUE(pageStandIns::silentNotices().empty());
    EXPECT_EQ(clock.position(), 1500u - 1001u);  // silent since the reading at 1001 ms
    EXPECT_EQ(pageStandIns::silentNotices(), (std::vector<bool>{true}));
    EXPECT_EQ(clock.position(), 2000u - 1001u);
    // The sound joins: it starts half a second ahead and is heard 50 ms
    // after that, 1550 ms into the show; the frame shown at 2500 ms shows
    // 1499 ms by either clock.
    EXPECT_EQ(clock.position(), 2500u - 1001u);
    EXPECT_EQ(pageStandIns::silentNotices(), (std::vector<bool>{true, false}));
    ASSERT_EQ(pageStandIns::playRequests().size(), 1u);
    EXPECT_DOUBLE_EQ(pageStandIns::playRequests()[0], 1.55);
    // From now on the context's clock, in step with the page's.
    EXPECT_EQ(clock.position(), 3000u - 1001u);
}

TEST(AudioReadingTest, TheHeardTimeIsTheOutputTimestampLessTheLatencyItDoesNotHold) {
    AudioReading reading;
    reading.running = true;
    reading.nowMs = 5000;
    reading.contextSeconds = 10.0;
    reading.latencySeconds = 0.0436;
    // Chromium: the stamp lags currentTime by 35 ms of the 43.6 reported,
    // so it is what is heard.
    reading.stampContextSeconds = 9.96;
    reading.stampMs = 4995;
    EXPECT_NEAR(reading.heardSecondsAt(5016), 9.96 + 0.021, 1e-9);
    // Firefox: the stamp is currentTime's own moment, latency all left.
    reading.stampContextSeconds = 9.99;
    reading.stampMs = 4990;
    EXPECT_NEAR(reading.heardSecondsAt(5016), 9.99 + 0.026 - 0.0436, 1e-9);
    // No stamp: currentTime carried forward less the latency.
    reading.stampContextSeconds = 0;
    reading.stampMs = 0;
    EXPECT_NEAR(reading.heardSecondsAt(5016), 10.0 + 0.016 - 0.0436, 1e-9);
}

TEST(FrameShowTimeTest, AFrameIsShownOneMedianIntervalAfterItsTime) {
    FrameShowTime showTime;
    EXPECT_NEAR(showTime.shownAtMs(100), 100 + 1000.0 / 60, 1e-9);  // before any interval is seen
    EXPECT_EQ(showTime.shownAtMs(120), 140);
    EXPECT_EQ(showTime.shownAtMs(120), 140);  // the same animation frame again
    EXPECT_EQ(showTime.shownAtMs(140), 160);
    EXPECT_EQ(showTime.shownAtMs(200), 220);  // one late frame does not move the median
    EXPECT_EQ(showTime.shownAtMs(250), 300);  // a page that falls behind: intervals of 20, 20, 60, 50
    for (double frame = 300; frame <= 600; frame += 50) showTime.shownAtMs(frame);
    EXPECT_EQ(showTime.shownAtMs(650), 700);  // then keeps a slower pace
}
