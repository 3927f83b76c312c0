#pragma once

#include "runtime/FrameEnd.h"

class WebAudioClock;

// The end of a frame in the page: tells the page which music position the
// frame shows, then handles the keys pressed since the last frame. Space
// writes the music position; Escape ends the show. The browser presents the
// canvas by itself when the frame callback returns.
class BrowserFrameEnd : public FrameEnd {
public:
    explicit BrowserFrameEnd(WebAudioClock& clock) : clock(clock) {}

    bool endFrame() override;

private:
    bool viewerQuits();

    WebAudioClock& clock;
};
