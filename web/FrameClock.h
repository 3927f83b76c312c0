#pragma once

#include <cstdint>

#include "runtime/MusicClock.h"

// A clock the page's frame end can ask which position the frame just drawn
// shows, and tell when the frame has ended.
class FrameClock : public MusicClock {
public:
    // The position the last call of position() returned: inside a frame, the
    // position the frame was drawn for.
    virtual std::uint32_t framePosition() const = 0;

    // The frame is drawn and shown.
    virtual void frameEnds() {}
};
