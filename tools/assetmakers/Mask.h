#pragma once

#include <vector>

// A coverage map, 0 to 1 per pixel. `left` and `top` place its top-left pixel
// relative to an origin the producer chooses (for text: the pen position on
// the baseline, with y growing downwards).
struct Mask {
    int width = 0;
    int height = 0;
    int left = 0;
    int top = 0;
    std::vector<float> coverage;

    float at(int x, int y) const { return coverage[static_cast<std::size_t>(y) * width + x]; }
};
