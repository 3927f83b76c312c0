#pragma once

#include <cstdint>
#include <memory>

#include "audio/PlayClock.h"

struct mpg123_handle_struct;

// An MP3 file decoded on demand into 16-bit stereo at the mixing rate, and its
// play position. The device's callback pulls samples with fill(); once the
// file's audio runs out, fill() gives silence and the position keeps growing.
class MusicStream {
public:
    // Null when the file is missing, unreadable, or holds no MPEG audio that
    // decodes.
    static std::unique_ptr<MusicStream> open(const char* fileName, int mixRate);

    ~MusicStream();
    MusicStream(const MusicStream&) = delete;
    MusicStream& operator=(const MusicStream&) = delete;

    // Moves to positionMs and stands still there until started.
    void seek(std::uint32_t positionMs);
    void start(std::int64_t nowUs);

    // Writes `frames` stereo frames to `out`: decoded music, then silence.
    void fill(std::int16_t* out, int frames, std::int64_t nowUs);

    std::uint32_t positionMs(std::int64_t nowUs) { return clock.positionMs(nowUs); }

    // Whether the position follows the device, and how many frames the device
    // holds before they are heard (see PlayClock).
    void setDeviceTiming(bool followDevice, std::uint32_t outputDelayFrames) {
        clock.followDevice(followDevice);
        clock.setOutputDelay(outputDelayFrames);
    }

    // Length of the music as the file describes it, 0 if unknown.
    std::uint32_t lengthMs() const;

private:
    MusicStream(mpg123_handle_struct* decoder, int mixRate);
    int decode(std::int16_t* out, int frames);

    mpg123_handle_struct* decoder;
    int mixRate;
    PlayClock clock;
    std::uint64_t framesTaken = 0;  // frames handed to the device, counted from 0 ms
    bool musicOver = false;
};
