#pragma once

#include <cstdint>

#include "runtime/ScheduleList.h"

// The frame loop. Plays the soundtrack and walks the schedule that the derived
// class supplies, drawing frames back to back with the music position as the
// only clock, until the schedule ends or the viewer quits.
class DemoRunner {
public:
    DemoRunner() = default;
    virtual ~DemoRunner() = default;
    DemoRunner(const DemoRunner&) = delete;
    DemoRunner& operator=(const DemoRunner&) = delete;

    virtual ScheduleList& schedule() = 0;

    // Returns when the schedule is over or on Escape or window close. Throws
    // Failure when the soundtrack cannot be opened.
    void run();

    // Frames per second of music over the run so far; 0 before the music has
    // moved.
    std::uint32_t averageFps() const;

private:
    std::uint32_t startTime = 0;   // the position taken as the demo's time origin
    std::uint32_t frameCount = 0;  // frames drawn by the current run
};

extern const char* const windowTitle;
extern const char* const iconTitle;
extern const char* const soundtrackFile;
