#pragma once

#include "window/WindowFrameEnd.h"

class FrameClock;

// The end of a frame in the page: tells the page which music position the
// frame shows, then ends the frame as the live demo does (the keys pressed
// since the last frame: Space writes the music position, Escape or the page
// going away ends the show), and tells the clock. The browser presents the
// canvas by itself when the frame callback returns.
class BrowserFrameEnd : public WindowFrameEnd {
public:
    explicit BrowserFrameEnd(FrameClock& clock);

    bool endFrame() override;

private:
    FrameClock& clock;
};
