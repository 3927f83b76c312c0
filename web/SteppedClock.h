#pragma once

#include <cstdint>

#include "runtime/VirtualClock.h"
#include "web/FrameClock.h"

// The page's clock when it plays frame by frame as tidewash-capture renders:
// frame n sees n x 1000 / fps ms of music, one frame each animation frame,
// however long a frame takes, in silence. The same rate gives the capture's
// frames, particle clouds and tunnel included.
class SteppedClock : public FrameClock {
public:
    explicit SteppedClock(std::uint32_t fps) : frames(fps) {}

    void start() override { frames.start(); }
    std::uint32_t position() override { return frames.position(); }
    std::uint32_t framePosition() const override { return frames.positionOfFrame(frames.frameNumber()); }
    void frameEnds() override { frames.nextFrame(); }

private:
    VirtualClock frames;
};
