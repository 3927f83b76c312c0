#pragma once

#include <array>
#include <cstdint>

// Which frame of a stream is heard when, from a sound server's reports. A
// report says which frame the server counts as heard at a moment, but the
// server's count may move in steps: PipeWire's pulse server moves it on once
// a graph cycle (a quantum: 256 to 2048 frames at 48 kHz, 5.3 to 42.7 ms)
// and reports the same count, unaged, until the next cycle, and a report can
// reach us late. Measured against the steady clock, the reports' offsets
// (counted time minus steady time) therefore scatter below the offset as of
// a cycle's start, which is their upper envelope: the estimate starts from
// the largest offset of the last `windowUs`. It keeps up with a sound card's
// drift (its clock against the steady one, a fraction of a ms over the
// window) and follows a step forward at once. The sound falling behind (an
// underrun: a cycle, or a stretch, the sink played without the stream) shows
// as the reports lying a cycle or more below the envelope (more than
// `fallThresholdUs` where the count moves smoothly); once they have done so
// for `recentUs` and `recentReports` reports while the count moved on (a
// count that stands still is the graph held up, and a null sink's graph
// catches up when it runs again), the older ones are dropped and
// the estimate follows the sound then rather than when the window has
// passed: through PipeWire at short cycles on a busy machine, cycles go
// missed several a second, and the window's envelope had the picture up to
// 160 ms ahead of the sound. A server whose count moves smoothly
// (PulseAudio) gives offsets within a fraction of a ms of each other, and
// the envelope changes nothing.
//
// PipeWire's pulse server counts a cycle's frames as heard as the cycle
// starts, while the sink plays them over the cycle: at a cycle's start the
// frame heard is the count less one cycle. Told that the server counts so,
// the estimate takes one cycle off the envelope, the cycle being the count's
// smallest move within the window (a move between two reports spans one
// cycle or more; with reports every 5 ms, one-cycle moves come all the time).
//
// Until the count has moved on between two reports, the estimate may be
// as much as a cycle behind; a report that finds it just moved is as late
// as the time between reports at most, and from then on the estimate only
// creeps up.
class HeardEstimate {
public:
    // countsCycleAhead: the server counts a cycle's frames as heard as the
    // cycle starts (PipeWire's pulse server).
    explicit HeardEstimate(int sampleRate, bool countsCycleAhead = false)
        : sampleRate(sampleRate), countsCycleAhead(countsCycleAhead) {}

    // How far back reports count.
    static constexpr std::int64_t windowUs = 2000000;
    // How long, and over how many reports, the sound must be seen behind the
    // envelope, and by how much where the count moves smoothly (a stepping
    // count's reports lie within a cycle below it, less an eighth of this).
    static constexpr std::int64_t recentUs = 50000;
    static constexpr int recentReports = 6;
    static constexpr std::int64_t fallThresholdUs = 2000;

    // The server counts frame `frame` as heard at atUs (steady clock, reports
    // in time order). Returns the frame the estimate says is heard at atUs.
    std::int64_t report(std::int64_t frame, std::int64_t atUs);

    // Whether the count has been seen to move on from one report to the next.
    bool settled() const { return countMoved; }

    // The cycle taken off, in frames: the count's smallest move within the
    // window at the last report (0 when the server is not told to count
    // ahead, or before the count has moved).
    std::int64_t cycleFrames() const { return cycle; }

private:
    void fallBehind(std::int64_t& largestUs, std::int64_t cycleFrames, std::int64_t atUs);

    struct Offset {
        std::int64_t atUs;
        std::int64_t offsetUs;    // heard time minus atUs
        std::int64_t moveFrames;  // how far the count moved since the report before (0: not at all)
    };

    // Reports kept: the window's worth at one every 5 ms, with room to spare;
    // when they come faster, the oldest go first.
    static constexpr int capacity = 512;

    int sampleRate;
    bool countsCycleAhead;
    std::int64_t cycle = 0;
    std::array<Offset, capacity> offsets{};
    int newest = -1;
    int count = 0;            // reports kept
    std::int64_t sinceUs = 0;  // reports before this are no longer counted (the sound fell behind)
    std::int64_t lastFrame = 0;
    bool countMoved = false;
};
