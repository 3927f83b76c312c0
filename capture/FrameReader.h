#pragma once

#include <cstdint>
#include <vector>

#include "capture/Image.h"

// Reads the frame just drawn back from the framebuffer. A supersampled frame
// is rendered `factor` times as wide and high as the image; each factor x
// factor block of it becomes one pixel, the rounded mean of the block (a
// box filter).
class FrameReader {
public:
    // width and height are the image's, in pixels.
    FrameReader(int width, int height, int factor);

    // Fills `image` with the frame, top row first (OpenGL gives the bottom
    // row first).
    void read(Image& image);

private:
    void averageBlocks(Image& image) const;

    int width;
    int height;
    int factor;
    std::vector<std::uint8_t> bottomUp;  // the frame as rendered
};
