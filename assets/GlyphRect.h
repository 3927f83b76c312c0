#pragma once

#include <cstdint>

// Where one glyph lies in the font image, in pixels. The width is also how far
// the pen advances after the glyph, the height the glyph's drawn height.
struct GlyphRect {
    std::uint32_t x;
    std::uint32_t y;
    std::uint32_t w;
    std::uint32_t h;
};
