#pragma once

#include <cstdint>

#include "runtime/MusicClock.h"

// The browser's clock: the position of Quietfall.MP3 as the page's Web Audio
// context plays it, corrected for the output latency the browser reports. In
// whole ms, never decreasing, and growing on after the music ends, as the
// audio context's clock does.
class WebAudioClock : public MusicClock {
public:
    // Plays the decoded soundtrack from 0. Throws Failure when the page could
    // not fetch or decode it.
    void start() override;
    std::uint32_t position() override;

    // The value the last call of position() returned: inside a frame, the
    // position the frame was drawn for.
    std::uint32_t latestPosition() const { return latest; }

private:
    std::uint32_t latest = 0;
};
