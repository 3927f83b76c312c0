#include <gtest/gtest.h>

#include <cstdint>

#include "audio/HeardEstimate.h"

namespace {

constexpr int rate = 44100;
constexpr std::int64_t second = 1000000;

// A server like PipeWire's pulse server: its graph takes a cycle's worth of
// frames at once (2048 frames at 48 kHz, 42.67 ms) and reports that count,
// unaged, until the next cycle. `heardUs(t)` is what is truly heard at t.
struct SteppingServer {
    std::int64_t cycleUs = 42667;
    std::int64_t frameAt(std::int64_t heardUs, std::int64_t atUs) const {
        const std::int64_t cycleStartUs = atUs / cycleUs * cycleUs;
        return heardUs - (atUs - cycleStartUs);  // in microseconds of sound
    }
};

std::int64_t frames(std::int64_t us) { return us * rate / second; }

TEST(HeardEstimate, ACountMovingInCyclesGivesTheSoundWithinAMsAndNeverAhead) {
    HeardEstimate estimate(rate);
    const SteppingServer server;
    const std::int64_t latencyUs = 30000;  // heard time = steady time - 30 ms
    for (std::int64_t atUs = 0; atUs < 10 * second; atUs += 5000) {
        // Every seventh report reaches us 12 ms late: its count is older still.
        const std::int64_t reportedUs = atUs % 35000 == 0 ? atUs - 12000 : atUs;
        const std::int64_t heardUs = atUs - latencyUs;
        const std::int64_t estimated = estimate.report(frames(server.frameAt(reportedUs - latencyUs, reportedUs)), atUs);
        ASSERT_LE(estimated, frames(heardUs) + 1) << "ahead of the sound at " << atUs;
        // Settled once a report has found the count just moved on: from then
        // on behind by no more than the 5 ms between reports.
        ASSERT_EQ(estimate.settled(), atUs >= server.cycleUs) << "at " << atUs;
        if (estimate.settled()) {
            ASSERT_GE(estimated, frames(heardUs - 5000)) << "more than 5 ms behind at " << atUs;
        }
        if (atUs >= second) {
            ASSERT_GE(estimated, frames(heardUs - 1000)) << "more than a ms behind at " << atUs;
        }
    }
}

TEST(HeardEstimate, FollowsADriftingCardAndTheSoundFallingBehindOnceTheWindowHasPassed) {
    HeardEstimate estimate(rate);
    // A card 100 parts a million slow: the window's oldest report, the
    // highest, puts the estimate up to 0.2 ms ahead.
    for (std::int64_t atUs = 0; atUs < 60 * second; atUs += 5000) {
        const std::int64_t heardUs = atUs - atUs / 10000;
        const std::int64_t estimated = estimate.report(frames(heardUs), atUs);
        ASSERT_GE(estimated, frames(heardUs) - 1);
        ASSERT_LE(estimated, frames(heardUs + 250));
    }
    // An underrun: from 60 s on the sound is 300 ms later than before.
    HeardEstimate stalled(rate);
    std::int64_t estimated = 0;
    for (std::int64_t atUs = 0; atUs <= 70 * second; atUs += 5000) {
        const std::int64_t heardUs = atUs < 60 * second ? atUs : atUs - 300000;
        estimated = stalled.report(frames(heardUs), atUs);
        if (atUs > 60 * second && atUs < 60 * second + HeardEstimate::windowUs) {
            ASSERT_NEAR(estimated, frames(atUs), 1) << "the window's older reports still hold";
        }
    }
    EXPECT_NEAR(estimated, frames(70 * second - 300000), 1);
}

}  // namespace
