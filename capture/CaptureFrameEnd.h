#pragma once

#include <cstdint>

#include "runtime/FrameEnd.h"

class CapturePlan;
class FrameReader;
class FrameWriters;
class Progress;
class VirtualClock;

// The end of a frame in a capture: a frame the plan wants is read back and
// handed to the writers, then the virtual clock moves on to the next frame.
// The show ends after the plan's last frame, or when a signal asks it to.
class CaptureFrameEnd : public FrameEnd {
public:
    CaptureFrameEnd(VirtualClock& clock, const CapturePlan& plan, FrameReader& reader, FrameWriters& writers,
                    Progress& progress)
        : clock(clock), plan(plan), reader(reader), writers(writers), progress(progress) {}

    bool endFrame() override;

    std::uint64_t framesWritten() const { return written; }

private:
    VirtualClock& clock;
    const CapturePlan& plan;
    FrameReader& reader;
    FrameWriters& writers;
    Progress& progress;
    std::uint64_t written = 0;
};
