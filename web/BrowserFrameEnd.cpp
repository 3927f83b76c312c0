#include "web/BrowserFrameEnd.h"

#include "web/WebAudioClock.h"

// From library_page.js.
extern "C" void tidewash_page_frame_shown(unsigned positionMs);

BrowserFrameEnd::BrowserFrameEnd(WebAudioClock& clock) : WindowFrameEnd(clock), clock(clock) {}

bool BrowserFrameEnd::endFrame() {
    // The runner read the clock once for this frame, so its latest value is
    // the position the frame was drawn for.
    tidewash_page_frame_shown(clock.latestPosition());
    return WindowFrameEnd::endFrame();
}
