#include <gtest/gtest.h>

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
    EXPECT_EQ(clock.positionMs(10 * second + 123569000), 123569u);  // no end: silence runs on
}

TEST(PlayClock, FollowsTheDeviceAndRunsSmoothlyBetweenItsReports) {
    PlayClock clock(rate);
    clock.reset(0);
    clock.start(0);
    clock.anchor(rate * 2, 2 * second);  // two seconds of frames taken at t = 2 s
    EXPECT_EQ(clock.positionMs(2 * second), 2000u);
    // Between reports the position moves on by the millisecond, not by buffer.
    for (int ms = 1; ms < 23; ++ms) EXPECT_EQ(clock.positionMs(2 * second + ms * 1000), 2000u + unsigned(ms));
}

TEST(PlayClock, NeverGoesBackWhenAReportLagsBehind) {
    PlayClock clock(rate);
    clock.reset(0);
    clock.start(0);
    clock.anchor(0, 0);
    EXPECT_EQ(clock.positionMs(100000), 100u);
    // A late callback reports only 80 ms of frames at t = 100 ms.
    clock.anchor(rate * 80 / 1000, 100000);
    EXPECT_EQ(clock.positionMs(100000), 100u);
    EXPECT_EQ(clock.positionMs(110000), 100u);
    EXPECT_EQ(clock.positionMs(125000), 105u);
    // A reading taken with a time before the anchor does not go back either.
    EXPECT_EQ(clock.positionMs(90000), 105u);
}

TEST(PlayClock, ASeekMovesThePositionBack) {
    PlayClock clock(rate);
    clock.reset(0);
    clock.start(0);
    clock.anchor(0, 0);
    EXPECT_EQ(clock.positionMs(3 * second), 3000u);
    clock.reset(1000);
    EXPECT_EQ(clock.positionMs(3 * second), 1000u);
    clock.start(3 * second);
    clock.anchor(std::uint64_t(rate), 3 * second);  // the device goes on from 1000 ms
    EXPECT_EQ(clock.positionMs(3 * second + 500000), 1500u);
}

TEST(PlayClock, HoldsHoursOfFramesWithoutOverflow) {
    PlayClock clock(rate);
    clock.reset(0);
    clock.start(0);
    const std::uint64_t tenHours = std::uint64_t(rate) * 36000;
    clock.anchor(tenHours, 36000 * second);
    EXPECT_EQ(clock.positionMs(36000 * second), 36000000u);
}

// 1024 frames at 44100 Hz: 23.22 ms held by the device before it is heard.
constexpr std::uint32_t oneBuffer = 1024;

TEST(PlayClock, StaysAtZeroUntilTheFirstTakenFramesAreHeard) {
    PlayClock clock(rate);
    clock.setOutputDelay(oneBuffer);
    clock.reset(0);
    clock.start(0);
    EXPECT_EQ(clock.positionMs(0), 0u);
    clock.anchor(0, 1000);  // the first callback, 1 ms after the start
    EXPECT_EQ(clock.positionMs(1000), 0u);
    EXPECT_EQ(clock.positionMs(20000), 0u);
    EXPECT_EQ(clock.positionMs(24000), 0u);  // 23.22 ms after the callback: 0.78 ms heard
    EXPECT_EQ(clock.positionMs(25300), 1u);
    EXPECT_EQ(clock.positionMs(124300), 100u);
}

TEST(PlayClock, SaysWhatTheDeviceTookLessWhatItStillHolds) {
    PlayClock clock(rate);
    clock.setOutputDelay(2 * oneBuffer);  // 46.44 ms
    clock.reset(0);
    clock.start(0);
    clock.anchor(rate * 2, 2 * second);  // two seconds of frames taken at t = 2 s
    EXPECT_EQ(clock.positionMs(2 * second), 1953u);
    for (int ms = 1; ms < 23; ++ms) EXPECT_EQ(clock.positionMs(2 * second + ms * 1000), 1953u + unsigned(ms));
    clock.anchor(rate * 2 + oneBuffer, 2 * second + 23220);
    EXPECT_EQ(clock.positionMs(2 * second + 23220), 1976u);
}

TEST(PlayClock, ADelaySetWhilePlayingHoldsThePositionRatherThanTakingItBack) {
    PlayClock clock(rate);
    clock.reset(0);
    clock.start(0);
    clock.anchor(0, 0);
    EXPECT_EQ(clock.positionMs(100000), 100u);
    clock.setOutputDelay(rate / 20);  // 50 ms
    EXPECT_EQ(clock.positionMs(100000), 100u);
    EXPECT_EQ(clock.positionMs(140000), 100u);
    EXPECT_EQ(clock.positionMs(160000), 110u);
}

TEST(PlayClock, AfterASeekTheDelayHoldsThePositionAtTheSeekTarget) {
    PlayClock clock(rate);
    clock.setOutputDelay(oneBuffer);
    clock.reset(0);
    clock.start(0);
    clock.anchor(0, 0);
    EXPECT_EQ(clock.positionMs(3 * second), 2976u);
    clock.reset(1000);
    EXPECT_EQ(clock.positionMs(3 * second), 1000u);
    clock.start(3 * second);
    clock.anchor(std::uint64_t(rate), 3 * second);
    EXPECT_EQ(clock.positionMs(3 * second + 10000), 1000u);
    EXPECT_EQ(clock.positionMs(3 * second + 100000), 1076u);
}

TEST(PlayClock, ADeviceThatIsNotFollowedLeavesTheSteadyClockInCharge) {
    PlayClock clock(rate);
    clock.followDevice(false);
    clock.reset(0);
    clock.start(0);
    // A device 1.3 % slow: 59.2 s of frames taken after a minute.
    clock.anchor(std::uint64_t(rate) * 592 / 10, 60 * second);
    EXPECT_EQ(clock.positionMs(60 * second), 60000u);
    EXPECT_EQ(clock.positionMs(60 * second + 16667), 60016u);
    clock.followDevice(true);
    clock.anchor(std::uint64_t(rate) * 61, 61 * second);
    EXPECT_EQ(clock.positionMs(61 * second + 5000), 61005u);
}

TEST(PlayClock, WaitsForTheDevicesFirstReport) {
    PlayClock clock(rate);
    clock.setOutputDelay(oneBuffer);
    clock.reset(0);
    clock.start(0);
    // The sound server takes 1.8 s to start the stream: the position waits.
    EXPECT_EQ(clock.positionMs(500000), 0u);
    EXPECT_EQ(clock.positionMs(1800000), 0u);
    clock.anchor(0, 1800000);
    EXPECT_EQ(clock.positionMs(1820000), 0u);
    EXPECT_EQ(clock.positionMs(1833220), 10u);
    EXPECT_EQ(clock.positionMs(2823220), 1000u);
    // A seek and a new start wait again.
    clock.reset(5000);
    clock.start(3 * second);
    EXPECT_EQ(clock.positionMs(4 * second), 5000u);
    clock.anchor(std::uint64_t(rate) * 5, 4 * second);
    EXPECT_EQ(clock.positionMs(4 * second + 123220), 5100u);
}

}  // namespace
