#pragma once

#include <cstdint>

#include "runtime/ScheduleList.h"

class FrameEnd;
class MusicClock;

// The frame loop. Starts the music and walks the schedule that the derived
// class supplies, one frame at a time with the music position as the only
// clock, until the schedule ends or the frame end says to stop. Where the
// position comes from and what ends a frame belong to the program: run() loops
// by itself, and a host that calls back once per frame (a browser) calls
// begin() once and then step() per frame.
class DemoRunner {
public:
    DemoRunner() = default;
    virtual ~DemoRunner() = default;
    DemoRunner(const DemoRunner&) = delete;
    DemoRunner& operator=(const DemoRunner&) = delete;

    virtual ScheduleList& schedule() = 0;

    // Plays the show to its end. Throws Failure when the music cannot start.
    void run(MusicClock& clock, FrameEnd& frameEnd);

    // Starts the first scene and the music; false for an empty schedule,
    // which shows nothing. Throws Failure when the music cannot start.
    bool begin(MusicClock& clock, FrameEnd& frameEnd);

    // Draws one frame, ends it and moves on through the schedule; false once
    // the show is over.
    bool step();

    // Frames per second of music over the run so far; 0 before the music has
    // moved.
    std::uint32_t averageFps() const;

private:
    MusicClock* musicClock = nullptr;
    FrameEnd* end = nullptr;
    ScheduleList::iterator current;
    std::uint32_t startTime = 0;     // the position taken as the demo's time origin
    std::uint32_t entryStart = 0;    // the position at which the current entry began
    std::uint32_t previousTime = 0;  // the position the previous frame saw
    std::uint32_t frameCount = 0;    // frames drawn by the current run
};
