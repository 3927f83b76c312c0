#pragma once

#include <cstdint>

#include "runtime/MusicClock.h"

// Music time counted in frames at a fixed rate, for rendering that does not
// follow a sound device. The rate is a fraction, frames per second =
// numerator / denominator, so that broadcast rates such as 60000/1001 are
// exact: frame n (from 0) sees n x 1000 x denominator / numerator ms, rounded
// to the nearest whole ms. The frame end moves it on to the next frame.
class VirtualClock : public MusicClock {
public:
    explicit VirtualClock(std::uint32_t numerator, std::uint32_t denominator = 1)
        : numerator(numerator), denominator(denominator) {}

    void start() override { frame = 0; }
    std::uint32_t position() override { return positionOfFrame(frame); }

    void nextFrame() { ++frame; }
    std::uint64_t frameNumber() const { return frame; }

    std::uint32_t positionOfFrame(std::uint64_t n) const;

    // The frame on screen at timeMs: the last one whose position is not
    // after it.
    std::uint64_t frameShownAt(std::uint32_t timeMs) const;

private:
    std::uint64_t numerator;
    std::uint64_t denominator;
    std::uint64_t frame = 0;
};
