#pragma once

#include <array>
#include <cstddef>

// How far the music heard is ahead of the page's clock, steadied. An audio
// context's clock moves on in blocks as its audio thread renders them
// (Firefox's by 10 to 50 ms at a time, and its output timestamp is no finer),
// so a single reading scatters about the true heard time by up to a block.
// The middle of the last second's readings does not, and it follows a
// drifting sound card or a revised latency within half a second. A reading
// further than jumpMs from that means the context's clock jumped (its
// sound stalled, or started): the readings start afresh from it.
class HeardOffset {
public:
    // The heard time less the page's time (ms), as read at atMs; returns the
    // steadied offset.
    double add(double offsetMs, double atMs);

    void clear() { count = 0; }

private:
    static constexpr double windowMs = 1000;
    static constexpr double jumpMs = 100;
    // A second's readings at one per frame, with room to spare; when they
    // come faster, the oldest go first.
    static constexpr std::size_t capacity = 128;

    struct Reading {
        double atMs;
        double offsetMs;
    };

    double windowMiddle(double nowMs) const;

    std::array<Reading, capacity> readings{};
    std::size_t newest = 0;
    std::size_t count = 0;
    double middle = 0;
};
