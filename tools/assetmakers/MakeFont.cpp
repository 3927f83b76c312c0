// Makes the bitmap font image: black pixels whose alpha carries anti-aliased
// serif glyphs, each inside its rectangle from the glyph table, plus a thin
// line across the full width at rows 248 and 249. All glyphs share one
// baseline offset from the top of their rectangle, so text drawn from the
// table lines up; a glyph that would not fit its rectangle is drawn smaller.

#include "assets/Assets.h"
#include "tools/assetmakers/SavePicture.h"
#include "tools/assetmakers/Typeface.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

constexpr int edge = 256;
constexpr int baselineOffset = 22;  // rows from a rectangle's top to the baseline
constexpr float glyphSize = 28;
constexpr float smallestSize = 12;
constexpr int lineRows[] = {248, 249};

constexpr unsigned char underscoreCode = '_';
constexpr unsigned char spaceCode = ' ';

struct Rect {
    int x, y, w, h;
};

// The rectangle of the underscore shows a short bar at mid-height, like a
// hyphen, and the space's rectangle a long bar on the baseline, like an
// underscore; the table has no entry of its own for the hyphen.
char glyphShownFor(unsigned char code) {
    if (code == underscoreCode) {
        return '-';
    }
    if (code == spaceCode) {
        return '_';
    }
    return static_cast<char>(code);
}

bool fits(const Mask &mask, const Rect &rect) {
    return mask.width <= rect.w && baselineOffset + mask.top >= 0 &&
           baselineOffset + mask.top + mask.height <= rect.h;
}

void drawGlyph(RgbaPicture &picture, const Typeface &face, unsigned char code, const Rect &rect) {
    const std::string text(1, glyphShownFor(code));
    Mask mask = face.fill(text, glyphSize);
    for (float size = glyphSize; !fits(mask, rect); size -= 0.5f) {
        if (size < smallestSize) {
            std::fprintf(stderr, "MakeFont: glyph %d does not fit its rectangle\n", code);
            std::exit(1);
        }
        mask = face.fill(text, size);
    }
    const int left = rect.x + (rect.w - mask.width) / 2;
    const int top = rect.y + baselineOffset + mask.top;
    for (int row = 0; row < mask.height; ++row) {
        for (int column = 0; column < mask.width; ++column) {
            std::uint8_t &alpha = picture.pixels[((top + row) * edge + left + column) * 4 + 3];
            alpha = std::max(alpha, static_cast<std::uint8_t>(std::lround(mask.at(column, row) * 255)));
        }
    }
}

}  // namespace

int main(int argc, char **argv) {
    const std::string path = outputPathArgument(argc, argv);
    const Typeface face("/usr/share/fonts/opentype/urw-base35/NimbusRoman-Regular.otf");
    RgbaPicture picture{edge, edge, std::vector<std::uint8_t>(edge * edge * 4, 0)};
    for (const std::uint8_t *record = glyphTable.records; record[0] != 0; record += 5) {
        drawGlyph(picture, face, record[0], Rect{record[1], record[2], record[3], record[4]});
    }
    for (const int row : lineRows) {
        for (int x = 0; x < edge; ++x) {
            picture.pixels[(row * edge + x) * 4 + 3] = 255;
        }
    }
    savePicture(picture, path);
    return 0;
}
