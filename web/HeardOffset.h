#pragma once

#include <array>
#include <cstddef>

// How far the music heard is ahead of the page's clock, steadied over the
// last second's readings. An audio context's clock moves on in blocks as its
// audio thread renders them, so a single reading scatters about the true
// heard time by up to a block; the middle of the readings does not, and it
// follows a drifting sound card or a revised latency within half a second.
// An audio element's position moves on in steps and each reading is behind
// by as long as its step has stood, never ahead: the most advanced reading is
// the truest. A reading further than jumpMs from the middle means the clock
// jumped (its sound stalled, or started): the readings start afresh from it.
class HeardOffset {
public:
    // The heard time less the page's time (ms), as read at atMs.
    void add(double offsetMs, double atMs);

    // The mean of the middle half of the window's offsets: as deaf to a
    // stray reading as the median, and unlike the median it moves smoothly
    // as readings come and go.
    double middle() const { return middleMs; }
    // The largest of the window's offsets.
    double mostAdvanced() const { return mostAdvancedMs; }

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

    // Sets the middle and the most advanced of the window's offsets, from
    // one sorting of them.
    void steady();

    std::array<Reading, capacity> readings{};
    std::size_t newest = 0;
    std::size_t count = 0;
    double middleMs = 0;
    double mostAdvancedMs = 0;
};
