#pragma once

#include <cstdint>

// The play position of a stream in whole ms. The audio device reports how many
// frames it has taken at the moment it asks for more; between those reports
// the position runs on with the steady clock, so consecutive video frames see
// smooth time rather than steps of a whole audio buffer. Once started, the
// position waits for the device's first report: a sound server can take a
// second or two to start a stream (PulseAudio's null sink took 1.8 s), and
// the picture must not run ahead meanwhile. With no device followed, nothing
// reports, and the position is the steady clock alone.
//
// What the device has taken is not heard at once: it sits in the device's
// buffers first. The position is moved back by that output delay, so that it
// says what is coming out rather than what went in; it still
// starts at the position it was reset to, standing there until the first
// sound comes out, and never decreases.
//
// Times are steady-clock microseconds passed in by the caller, which keeps the
// clock free of any platform call and lets it be driven by hand.
class PlayClock {
public:
    explicit PlayClock(int sampleRate) : sampleRate(sampleRate) {}

    // Stands still at positionMs until started.
    void reset(std::uint32_t positionMs);

    // The device plays what it takes this many frames later; 0 (no delay)
    // until set.
    void setOutputDelay(std::uint32_t frames);

    // Whether device reports are followed (they are until told otherwise). A
    // device that plays to nowhere takes frames at a pace of its own, not the
    // pace of time (SDL's dummy driver sleeps whole ms per buffer: 1.3 % slow
    // here); its reports are ignored and the position is the steady clock.
    void followDevice(bool follow) { followsDevice = follow; }

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
    bool followsDevice = true;
    bool deviceReported = false;     // the device has reported since the start
    std::int64_t anchorMediaUs = 0;  // stream position at the last anchor
    std::int64_t anchorWallUs = 0;   // steady-clock time of the last anchor
    std::int64_t outputDelayUs = 0;  // how long the device holds a frame it took
    std::uint32_t resetPositionMs = 0;
    std::uint32_t lastPositionMs = 0;
};
