#include "web/WebAudioClock.h"

#include <gtest/gtest.h>

#include <string>

#include "base/Failure.h"
#include "tests/web/unit/PageStandIns.h"

class WebAudioClockTest : public ::testing::Test {
protected:
    void SetUp() override { pageStandIns::reset(); }
};

TEST_F(WebAudioClockTest, StartPlaysTheDecodedSoundtrackOnce) {
    WebAudioClock clock;
    clock.start();
    EXPECT_EQ(pageStandIns::playRequests(), 1);
}

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

TEST_F(WebAudioClockTest, PositionIsTheHeardTimeInWholeMilliseconds) {
    pageStandIns::setSeconds({0.0004, 1.2349, 10.7, 65.0011});
    WebAudioClock clock;
    clock.start();
    EXPECT_EQ(clock.position(), 0u);
    EXPECT_EQ(clock.position(), 1234u);
    EXPECT_EQ(clock.position(), 10700u);
    EXPECT_EQ(clock.position(), 65001u);
}

TEST_F(WebAudioClockTest, SoundStillOnItsWayReadsAsZero) {
    pageStandIns::setSeconds({-0.0427, -0.001, 0.016});
    WebAudioClock clock;
    clock.start();
    EXPECT_EQ(clock.position(), 0u);
    EXPECT_EQ(clock.position(), 0u);
    EXPECT_EQ(clock.position(), 16u);
}

TEST_F(WebAudioClockTest, NeverGoesBackWhenTheBrowserRevisesItsLatency) {
    pageStandIns::setSeconds({2.0, 1.985, 1.999, 2.003});
    WebAudioClock clock;
    clock.start();
    EXPECT_EQ(clock.position(), 2000u);
    EXPECT_EQ(clock.position(), 2000u);
    EXPECT_EQ(clock.position(), 2000u);
    EXPECT_EQ(clock.position(), 2003u);
}

TEST_F(WebAudioClockTest, GrowsOnAfterTheMusicEnds) {
    pageStandIns::setSeconds({129.0, 131.5, 600.25});
    WebAudioClock clock;
    clock.start();
    EXPECT_EQ(clock.position(), 129000u);
    EXPECT_EQ(clock.position(), 131500u);
    EXPECT_EQ(clock.position(), 600250u);
}

TEST_F(WebAudioClockTest, LatestPositionIsTheLastReadingWithoutReadingAgain) {
    pageStandIns::setSeconds({0.5, 0.75});
    WebAudioClock clock;
    clock.start();
    EXPECT_EQ(clock.latestPosition(), 0u);
    EXPECT_EQ(clock.position(), 500u);
    EXPECT_EQ(clock.latestPosition(), 500u);
    EXPECT_EQ(clock.latestPosition(), 500u);
    EXPECT_EQ(clock.position(), 750u);
}
