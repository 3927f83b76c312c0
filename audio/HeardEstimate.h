#pragma once

#include <array>
#include <cstdint>

// Which frame of a stream is heard when, from a sound server's reports. A
// report says which frame the server counts as heard at a moment, but the
// server's count moves in steps: PipeWire's pulse server moves it on once a
// graph cycle (a quantum, 43 ms here) and reports the same count, unaged,
// until the next cycle, and a report can reach us late. So a report is
// never ahead of the sound and may be up to a cycle behind it. Measured
// against the steady clock, the reports' offsets (heard time minus steady
// time) therefore scatter below the true offset, which is their upper
// envelope: the estimate is the largest offset of the last `windowUs`. It
// keeps up with a sound card's drift (its clock against the steady one, a
// fraction of a ms over the window), follows a step forward at once and the
// sound falling behind (an underrun) once the window has passed. A server
// whose count moves smoothly (PulseAudio) gives offsets within a fraction of
// a ms of each other, and the envelope changes nothing.
//
// Until the count has moved on between two reports, the estimate may be
// as much as a cycle behind; a report that finds it just moved is as late
// as the time between reports at most, and from then on the estimate only
// creeps up.
class HeardEstimate {
public:
    explicit HeardEstimate(int sampleRate) : sampleRate(sampleRate) {}

    // How far back reports count.
    static constexpr std::int64_t windowUs = 2000000;

    // The server counts frame `frame` as heard at atUs (steady clock, reports
    // in time order). Returns the frame the estimate says is heard at atUs.
    std::int64_t report(std::int64_t frame, std::int64_t atUs);

    // Whether the count has been seen to move on from one report to the next.
    bool settled() const { return countMoved; }

private:
    struct Offset {
        std::int64_t atUs;
        std::int64_t offsetUs;  // heard time minus atUs
    };

    // Reports kept: the window's worth at one every 5 ms, with room to spare;
    // when they come faster, the oldest go first.
    static constexpr int capacity = 512;

    int sampleRate;
    std::array<Offset, capacity> offsets{};
    int newest = -1;
    int count = 0;
    std::int64_t lastFrame = 0;
    bool countMoved = false;
};
