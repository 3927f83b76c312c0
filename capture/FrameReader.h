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
    // width and height are the image's, in pixels. Needs the current OpenGL
    // context, to ask how it can hand the rows over.
    FrameReader(int width, int height, int factor);

    // Fills `image` with the frame, top row first (OpenGL counts rows from
    // the bottom).
    void read(Image& image);

private:
    // Row `y` of the frame as rendered, counted from the top.
    const std::uint8_t* renderedRow(std::size_t y) const;
    void averageBlocks(Image& image);

    int width;
    int height;
    int factor;
    // Whether the GL writes the rows top row first (GL_MESA_pack_invert).
    const bool topRowFirst;
    std::vector<std::uint8_t> rendered;  // the frame as rendered, RGBA
    std::vector<unsigned> sums;           // a row of block sums while averaging
};
