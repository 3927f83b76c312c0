#pragma once

#include <chrono>
#include <cstdint>

// Progress of a capture on standard error, for a person watching: on a
// terminal a bar with frames done of the total, frames per second and the
// time left, redrawn a few times a second; otherwise a short line every few
// seconds; nothing when quiet.
class Progress {
public:
    enum class Style { bar, lines, quiet };

    Progress(std::uint64_t totalFrames, Style style);

    // Frames written so far.
    void update(std::uint64_t framesDone);

    // Ends the bar's line.
    void finish(std::uint64_t framesDone);

private:
    using Clock = std::chrono::steady_clock;

    void show(std::uint64_t framesDone, bool last);

    std::uint64_t total;
    Style style;
    Clock::time_point started = Clock::now();
    Clock::time_point shown = started;
};

// The style for standard error as it is: a bar on a terminal, lines elsewhere.
Progress::Style progressStyleFor(bool quiet);
