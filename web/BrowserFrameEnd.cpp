#include "web/BrowserFrameEnd.h"

#include "web/FrameClock.h"

// From library_page.js.
extern "C" void tidewash_page_frame_shown(unsigned positionMs);

BrowserFrameEnd::BrowserFrameEnd(FrameClock& clock) : WindowFrameEnd(clock), clock(clock) {}

bool BrowserFrameEnd::endFrame() {
    // The runner read the clock once for this frame, so its latest value is
    // the position the frame was drawn for.
    tidewash_page_frame_shown(clock.framePosition());
    const bool goesOn = WindowFrameEnd::endFrame();
    clock.frameEnds();
    return goesOn;
}
