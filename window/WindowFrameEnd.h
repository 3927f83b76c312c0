#pragma once

#include "runtime/FrameEnd.h"

class MusicClock;

// The end of a frame in the demo's window: the buffer swap, then the events
// queued since the last frame. Space writes the music position; Escape and
// closing the window end the show.
class WindowFrameEnd : public FrameEnd {
public:
    explicit WindowFrameEnd(MusicClock& clock) : clock(clock) {}

    void beginShow() override;
    bool endFrame() override;

private:
    bool viewerQuits();

    MusicClock& clock;
};
