#pragma once

// What a program does around the frames the runner draws: once before the
// show, and at the end of every frame. The live demo swaps buffers and reads
// input; the capture program reads the pixels back for its output.
class FrameEnd {
public:
    virtual ~FrameEnd() = default;

    // Once, before the first scene starts.
    virtual void beginShow() {}

    // After a frame is drawn. False when the show should end now (the viewer
    // quit, or the capture has what it needs).
    virtual bool endFrame() = 0;
};
