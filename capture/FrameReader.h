#pragma once

#include <cstdint>
#include <vector>

#include "capture/Image.h"

// Reads the frame just drawn back from the framebuffer.
class FrameReader {
public:
    FrameReader(int width, int height);

    // Fills `image` with the frame, top row first (OpenGL gives the bottom
    // row first).
    void read(Image& image);

private:
    int width;
    int height;
    std::vector<std::uint8_t> bottomUp;
};
