#pragma once

#include <cstdint>

// The play position of a stream in whole ms. The audio device reports how many
// frames it has taken at the moment it asks for more; between those reports
// the position runs on with the steady clock, so consecutive video frames see
// smooth time rather than steps of a whole audio buffer. With no device at all
// nothing reports, and the position is the steady clock alone.
//
// Times are steady-clock microseconds passed in by the caller, which keeps the
// clock free of any platform call and lets it be driven by hand.
class PlayClock {
public:
    explicit PlayClock(int sampleRate) : sampleRate(sampleRate) {}

    // Stands still at positionMs until started.
    void reset(std::uint32_t positionMs);

    // Runs from `now` on.
    void start(std::int64_t nowUs);

    // The device had taken framesTaken frames of the stream (counted from
    // position 0) at nowUs.
    void anchor(std::uint64_t framesTaken, std::int64_t nowUs);

    // The position at nowUs. Never smaller than a value returned before (since
    // the last reset), even when a device report lags behind the steady clock.
    std::uint32_t positionMs(std::int64_t nowUs);

private:
    int sampleRate;
    bool running = false;
    std::int64_t anchorMediaUs = 0;  // stream position at the last anchor
    std::int64_t anchorWallUs = 0;   // steady-clock time of the last anchor
    std::uint32_t lastPositionMs = 0;
};
