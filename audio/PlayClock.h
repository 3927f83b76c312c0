#pragma once

#include <atomic>
#include <cstdint>

// The play position of a stream in whole ms, read by the frame loop while the
// audio thread reports what the device plays. The audio thread says which
// frame of the music is heard at which steady-clock moment (anchor); between
// those reports the position runs on with the steady clock, so consecutive
// video frames see smooth time rather than steps of a whole audio buffer.
// Reports go through a sequence counter and atomics: the reader never takes a
// lock and never waits for the writer (a report caught half written is read
// again a few times, then left for the next reading, which uses the one
// before).
//
// Once started, the position waits for the device's first report: a sound
// server can take a moment to start a stream, and the picture must not run
// ahead meanwhile. A device that has not reported a second after the start
// is given up on: the position runs on with the steady clock from where it
// stood, and follows the device again once it reports. With no device
// followed, nothing reports, and the position is the steady clock alone. It
// never goes below the position it was reset to, nor below a value returned
// before.
//
// Times are steady-clock microseconds passed in by the caller, which keeps the
// clock free of any platform call and lets it be driven by hand.
class PlayClock {
public:
    explicit PlayClock(int sampleRate) : sampleRate(sampleRate) {}

    // How long the position waits for the device's first report.
    static constexpr std::int64_t deviceStartLimitUs = 1000000;

    // The calls below up to positionMs are made while no audio thread uses
    // the clock (the audio system hands the stream to the device after them).

    // Stands still at positionMs until started.
    void reset(std::uint32_t positionMs);

    // Whether device reports are followed (they are until told otherwise). A
    // device that plays to nowhere takes frames at a pace of its own, not the
    // pace of time (SDL's dummy driver sleeps whole ms per buffer: 1.3 % slow
    // here); its reports are ignored and the position is the steady clock.
    void followDevice(bool follow) { deviceFollowed = follow; }
    bool followsDevice() const { return deviceFollowed; }

    // Runs from `now` on.
    void start(std::int64_t nowUs);

    // The position at nowUs, from the frame loop. Never smaller than a value
    // returned before (since the last reset), even when a device report lags
    // behind the steady clock.
    std::uint32_t positionMs(std::int64_t nowUs);

    // From the audio thread: the music's frame heardFrame (counted from
    // position 0) is heard at atUs, which may still be to come.
    void anchor(std::int64_t heardFrame, std::int64_t atUs);

    // The position in microseconds at nowUs as long as the device has not
    // reported: where it stands while waiting, or the steady clock's count.
    std::int64_t unheardPositionUs(std::int64_t nowUs) const;

    // Whether the device's first report is more than deviceStartLimitUs late.
    bool pastStartLimit(std::int64_t nowUs) const { return nowUs - startUs > deviceStartLimitUs; }

private:
    // The last report read whole: false when none has come since the start.
    bool readAnchor(std::int64_t& mediaUs, std::int64_t& wallUs);

    int sampleRate;
    bool running = false;
    bool deviceFollowed = true;
    std::int64_t startUs = 0;
    std::uint32_t resetPositionMs = 0;
    std::uint32_t lastPositionMs = 0;

    // Written by the audio thread: odd while a report is being written, 0
    // until the first report since the start.
    std::atomic<std::uint32_t> anchorSequence{0};
    std::atomic<std::int64_t> anchorMediaUs{0};  // stream position heard at the last anchor
    std::atomic<std::int64_t> anchorWallUs{0};   // steady-clock time it is heard

    // The frame loop's copy of the last report it read whole.
    bool seenAnchor = false;
    std::int64_t seenMediaUs = 0;
    std::int64_t seenWallUs = 0;
};
