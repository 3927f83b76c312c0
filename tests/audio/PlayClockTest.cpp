#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "audio/PlayClock.h"

namespace {

constexpr int rate = 44100;
constexpr std::int64_t second = 1000000;

TEST(PlayClock, StandsStillUntilStarted) {
    PlayClock clock(rate);
    clock.reset(0);
    EXPECT_EQ(clock.positionMs(5 * second), 0u);
    clock.reset(1500);
    EXPECT_EQ(clock.positionMs(9 * second), 1500u);
}

TEST(PlayClock, RunsWithTheSteadyClockWhenNoDeviceIsFollowed) {
    PlayClock clock(rate);
    clock.followDevice(false);
    clock.reset(0);
    clock.start(10 * second);
    EXPECT_EQ(clock.positionMs(10 * second), 0u);
    EXPECT_EQ(clock.positionMs(10 * second + 250000), 250u);
    // A device that plays to nowhere, 1.3 % slow, is not listened to.
    clock.anchor(std::int64_t(rate) * 592 / 10, 70 * second);
    EXPECT_EQ(clock.positionMs(70 * second), 60000u);
    EXPECT_EQ(clock.positionMs(10 * second + 123569000), 123569u);  // no end: silence runs on
}

TEST(PlayClock, FollowsTheDeviceAndRunsSmoothlyBetweenItsReports) {
    PlayClock clock(rate);
    clock.reset(0);
    clock.start(0);
    clock.anchor(rate * 2, 2 * second);  // two seconds of music heard at t = 2 s
    EXPECT_EQ(clock.positionMs(2 * second), 2000u);
    // Between reports the position moves on by the millisecond, not by buffer.
    for (int ms = 1; ms < 23; ++ms) EXPECT_EQ(clock.positionMs(2 * second + ms * 1000), 2000u + unsigned(ms));
    // A server that plays 0.5 % slow is followed.
    clock.anchor(rate * 2 + rate * 995 / 1000, 3 * second);
    EXPECT_EQ(clock.positionMs(3 * second + 10000), 3004u);  // 2994.99 ms heard at 3 s
}

TEST(PlayClock, NeverGoesBackWhenAReportLagsBehind) {
    PlayClock clock(rate);
    clock.reset(0);
    clock.start(0);
    clock.anchor(0, 0);
    EXPECT_EQ(clock.positionMs(100000), 100u);
    // The server now says only 80 ms were heard at t = 100 ms.
    clock.anchor(rate * 80 / 1000, 100000);
    EXPECT_EQ(clock.positionMs(100000), 100u);
    EXPECT_EQ(clock.positionMs(110000), 100u);
    EXPECT_EQ(clock.positionMs(125000), 105u);
    // A reading taken with a time before the anchor does not go back either.
    EXPECT_EQ(clock.positionMs(90000), 105u);
}

TEST(PlayClock, SoundStillToComeHoldsThePositionWhereItWasReset) {
    PlayClock clock(rate);
    clock.reset(1000);
    clock.start(0);
    // The music's frame at 1000 ms comes out 150 ms from now (a Bluetooth
    // headset's latency), the silence before it is heard meanwhile.
    clock.anchor(rate, 150000);
    EXPECT_EQ(clock.positionMs(0), 1000u);
    EXPECT_EQ(clock.positionMs(149000), 1000u);
    EXPECT_EQ(clock.positionMs(160000), 1010u);
    EXPECT_EQ(clock.positionMs(1150000), 2000u);
}

TEST(PlayClock, ASeekMovesThePositionBackAndWaitsForTheDeviceAgain) {
    PlayClock clock(rate);
    clock.reset(0);
    clock.start(0);
    clock.anchor(0, 0);
    EXPECT_EQ(clock.positionMs(3 * second), 3000u);
    clock.reset(5000);
    EXPECT_EQ(clock.positionMs(3 * second), 5000u);
    clock.start(3 * second);
    EXPECT_EQ(clock.positionMs(3 * second + 500000), 5000u);  // the old report is gone
    clock.anchor(std::int64_t(rate) * 5, 3 * second + 600000);
    EXPECT_EQ(clock.positionMs(3 * second + 700000), 5100u);
}

TEST(PlayClock, HoldsHoursOfFramesWithoutOverflow) {
    PlayClock clock(rate);
    clock.reset(0);
    clock.start(0);
    clock.anchor(std::int64_t(rate) * 36000, 36000 * second);
    EXPECT_EQ(clock.positionMs(36000 * second), 36000000u);
}

TEST(PlayClock, GivesUpOnADeviceSilentForASecondAndFollowsItOnceItReports) {
    PlayClock clock(rate);
    clock.reset(2000);
    clock.start(10 * second);
    // The sound server starts the stream quickly enough: the position waits.
    EXPECT_EQ(clock.positionMs(10 * second + 900000), 2000u);
    EXPECT_FALSE(clock.pastStartLimit(10 * second + 900000));
    // It does not: the show moves on, in time, from where it stood.
    EXPECT_TRUE(clock.pastStartLimit(11 * second + 1));
    EXPECT_EQ(clock.unheardPositionUs(11 * second + 500000), 2500000);
    EXPECT_EQ(clock.positionMs(11 * second + 500000), 2500u);
    EXPECT_EQ(clock.positionMs(13 * second), 4000u);
    // The device starts at last, the music joining at 4000 ms and heard 40 ms
    // later: the position holds until the sound catches up, then follows it.
    clock.anchor(std::int64_t(rate) * 4, 13 * second + 40000);
    EXPECT_EQ(clock.positionMs(13 * second + 20000), 4000u);
    EXPECT_EQ(clock.positionMs(13 * second + 140000), 4100u);
}

// The audio thread reports while the frame loop reads: every reading comes
// from one whole report. Report n says that the music's second n is heard at
// second n, so any whole report puts the position at the time asked for; a
// reading made of one report's position and another's time would be off by
// whole seconds. The reports come as fast as they can, so most readings find
// one being written and use the last whole one.
TEST(PlayClock, AReadingNeverMixesTwoReports) {
    PlayClock clock(rate);
    clock.reset(0);
    clock.start(0);
    clock.anchor(0, 0);
    ASSERT_EQ(clock.positionMs(2000 * second), 2000000u);
    constexpr std::int64_t reports = 2000000;
    std::atomic<std::int64_t> reported{0};
    std::thread device([&] {
        for (std::int64_t n = 1; n <= reports; ++n) {
            clock.anchor(n * rate, n * second);
            reported = n;
        }
    });
    int mixed = 0;
    while (reported < reports) mixed += clock.positionMs(2000 * second) != 2000000u;
    device.join();
    EXPECT_EQ(mixed, 0);
}

}  // namespace
