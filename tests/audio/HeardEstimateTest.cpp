#include <gtest/gtest.h>

#include <cstdint>

#include "audio/HeardEstimate.h"

namespace {

constexpr int rate = 44100;
constexpr std::int64_t second = 1000000;

// A server like PipeWire's pulse server: its graph runs in cycles of
// `quantum` frames at 48 kHz, takes a cycle's frames from the stream as the
// cycle starts and counts them heard from then on, while the sink plays them
// over the cycle; the count is reported, unaged, until the next cycle.
// Sound is heard `latencyUs` after the steady clock: heardUs(t) = t - latency.
struct SteppingServer {
    std::int64_t quantum;
    std::int64_t latencyUs = 30000;
    // The count reported at atUs: every frame heard by the end of the cycle.
    std::int64_t countAt(std::int64_t atUs) const {
        const std::int64_t cycle = atUs * 48000 / (quantum * second) + 1;
        return frames(cycle * quantum * second / 48000 - latencyUs);
    }
    static std::int64_t frames(std::int64_t us) { return us * rate / second; }
};

std::int64_t frames(std::int64_t us) { return SteppingServer::frames(us); }

// Reports every 5 ms from a server stepping in cycles of 256, 1024 and 2048
// frames, every seventh reaching us 12 ms late (its count older still):
// with one cycle taken off, the estimate is never ahead of the sound, and
// within a ms of it once a second's reports are in; without, a cycle ahead.
TEST(HeardEstimate, ACountMovingInCyclesGivesTheSoundWithinAMsAndNeverAhead) {
    for (const std::int64_t quantum : {256, 1024, 2048}) {
        SCOPED_TRACE("quantum " + std::to_string(quantum));
        const SteppingServer server{quantum};
        const std::int64_t cycleFrames = quantum * rate / 48000;
        HeardEstimate estimate(rate, true);
        HeardEstimate uncorrected(rate);
        for (std::int64_t atUs = 0; atUs < 5 * second; atUs += 5000) {
            const std::int64_t reportedUs = atUs % 35000 == 0 ? atUs - 12000 : atUs;
            const std::int64_t heard = frames(atUs - server.latencyUs);
            const std::int64_t estimated = estimate.report(server.countAt(reportedUs), atUs);
            const std::int64_t counted = uncorrected.report(server.countAt(reportedUs), atUs);
            if (!estimate.settled()) continue;
            // The count's moves come in whole cycles of 48 kHz frames, each
            // a frame more or less at 44.1 kHz; the smallest is a frame short.
            ASSERT_LE(estimated, heard + 2) << "ahead of the sound at " << atUs;
            if (atUs >= second) {
                ASSERT_NEAR(estimate.cycleFrames(), cycleFrames, 1) << "at " << atUs;
                ASSERT_GE(estimated, heard - frames(1000)) << "more than a ms behind at " << atUs;
                ASSERT_GE(counted, heard + cycleFrames - frames(1000)) << "the count is not a cycle ahead at " << atUs;
            }
        }
    }
}

TEST(HeardEstimate, FollowsADriftingCardAndTheSoundFallingBehindAtOnce) {
    HeardEstimate estimate(rate);
    // A card 100 parts a million slow: the window's oldest report, the
    // highest, puts the estimate up to 0.2 ms ahead.
    for (std::int64_t atUs = 0; atUs < 60 * second; atUs += 5000) {
        const std::int64_t heardUs = atUs - atUs / 10000;
        const std::int64_t estimated = estimate.report(frames(heardUs), atUs);
        ASSERT_GE(estimated, frames(heardUs) - 1);
        ASSERT_LE(estimated, frames(heardUs + 250));
    }
    // An underrun: from 60 s on the sound is 300 ms later than before. The
    // estimate follows once the last 50 ms of reports all say so.
    HeardEstimate stalled(rate);
    for (std::int64_t atUs = 0; atUs <= 62 * second; atUs += 5000) {
        const std::int64_t heardUs = atUs < 60 * second ? atUs : atUs - 300000;
        const std::int64_t estimated = stalled.report(frames(heardUs), atUs);
        if (atUs > 60 * second + HeardEstimate::recentUs) {
            ASSERT_NEAR(estimated, frames(heardUs), 1) << "at " << atUs;
        }
    }
}

// PipeWire's pulse server at cycles of 256 frames on a busy machine: every
// 56th cycle the sink plays without the stream, whose sound then comes a
// cycle later for good, and the count stands still for that cycle. The
// estimate is never more than that cycle ahead of the sound (the window's
// envelope alone put it six cycles ahead, 32 ms), and soon back within a ms;
// yet a graph held up whole, which catches up, is not taken for a fall.
TEST(HeardEstimate, FollowsACycleMissedNowAndThen) {
    const std::int64_t quantum = 256;
    const std::int64_t cycleFrames = quantum * rate / 48000;
    const auto cycleOf = [&](std::int64_t atUs) { return atUs * 48000 / (quantum * second); };
    const auto startOf = [&](std::int64_t cycle) { return cycle * quantum * second / 48000; };
    const auto lateUs = [&](std::int64_t cycle) { return (cycle / 56) * quantum * second / 48000; };
    HeardEstimate estimate(rate, true);
    int within = 0;
    for (std::int64_t atUs = 0; atUs < 10 * second; atUs += 5000) {
        const std::int64_t cycle = cycleOf(atUs);
        const std::int64_t heard = frames(atUs - 30000 - lateUs(cycle));
        const std::int64_t count = frames(startOf(cycle + 1) - 30000 - lateUs(cycle));
        const std::int64_t estimated = estimate.report(count, atUs);
        if (atUs < second) continue;
        ASSERT_LE(estimated, heard + cycleFrames + frames(1000)) << "at " << atUs;
        if (estimated >= heard - frames(1000) && estimated <= heard + frames(1000)) ++within;
    }
    EXPECT_GT(within, 9 * 200 / 2) << "within a ms of the sound less than half the time";

    // A graph held up for 200 ms, its count standing still, that then
    // catches up: the sound has not fallen behind, and the estimate stays.
    HeardEstimate held(rate, true);
    for (std::int64_t atUs = 0; atUs < 3 * second; atUs += 5000) {
        const bool standing = atUs >= 2 * second && atUs < 2 * second + 200000;
        const std::int64_t countedUs = standing ? 2 * second : atUs;
        const std::int64_t estimated = held.report(frames(startOf(cycleOf(countedUs) + 1) - 30000), atUs);
        if (atUs >= second) {
            ASSERT_GE(estimated, frames(atUs - 30000 - 1000)) << "taken for the sound falling behind at " << atUs;
        }
    }
}

}  // namespace
