#pragma once

#include "window/WindowFrameEnd.h"

class WebAudioClock;

// The end of a frame in the page: tells the page which music position the
// frame shows, then ends the frame as the live demo does (the keys pressed
// since the last frame: Space writes the music position, Escape or the page
// going away ends the show). The browser presents the canvas by itself when
// the frame callback returns.
class BrowserFrameEnd : public WindowFrameEnd {
public:
    explicit BrowserFrameEnd(WebAudioClock& clock);

    bool endFrame() override;

private:
    WebAudioClock& clock;
};
