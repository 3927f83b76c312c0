#pragma once

#include <cstdint>
#include <map>
#include <string_view>

#include "assets/GlyphRect.h"
#include "render/Texture.h"

// Draws text from one 256 by 256 font image on a 640 by 480 virtual screen,
// one textured quad per character. The glyph table is a run of five-byte
// records (character, x, y, w, h) ended by a 0 character byte.
class BitmapFont {
public:
    // Reads the glyph table and uploads the font texture; needs a GL context.
    BitmapFont(std::int32_t edge, const std::uint8_t* pixels, const std::uint8_t* glyphRecords);

    BitmapFont(const BitmapFont&) = delete;
    BitmapFont& operator=(const BitmapFont&) = delete;

    // Draws text with the first glyph's top-left corner at (x, y). A line feed
    // starts a new line 4 units below the tallest glyph of the line before.
    // Characters without a glyph are drawn as the question mark, or skipped if
    // the font has no question mark either.
    void drawText(std::int32_t x, std::int32_t y, std::string_view text) const;

private:
    const Texture* glyphTexture;
    std::map<std::uint8_t, GlyphRect> glyphs;
    Texture fontTexture;

    const GlyphRect* findGlyph(std::uint8_t character) const;
};
