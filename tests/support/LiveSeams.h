#pragma once

#include "live/SoundtrackClock.h"
#include "window/WindowFrameEnd.h"

// The live demo's clock and frame end, as main makes them; over the scripted
// platform they read the scripted clock and events.
struct LiveSeams {
    SoundtrackClock clock;
    WindowFrameEnd frameEnd{clock};
};
