#pragma once

#include "tools/assetmakers/Mask.h"

#include <string>

#include <ft2build.h>
#include FT_FREETYPE_H

// One font file opened with FreeType, rendering strings of ISO 8859-1 text
// into coverage masks. Mask positions are relative to the pen's starting point
// on the baseline, y growing downwards.
class Typeface {
public:
    explicit Typeface(const std::string &path);
    ~Typeface();
    Typeface(const Typeface &) = delete;
    Typeface &operator=(const Typeface &) = delete;

    // The filled glyph shapes. `tracking` adds space after every glyph.
    Mask fill(const std::string &text, float pixelSize, float tracking = 0) const;

    // A band of `strokeWidth` pixels centred on the glyph outlines.
    Mask stroke(const std::string &text, float pixelSize, float strokeWidth, float tracking = 0) const;

private:
    Mask render(const std::string &text, float pixelSize, float strokeWidth, float tracking) const;

    FT_Library library = nullptr;
    FT_Face face = nullptr;
};
