#include "render/BitmapFont.h"

#include <GL/gl.h>

namespace {

constexpr std::uint8_t tableEnd = 0;
constexpr std::uint8_t lineFeed = 10;
constexpr std::uint8_t questionMark = 63;
constexpr int recordSize = 5;
constexpr std::int32_t lineGap = 4;
constexpr float texelSize = 1.0f / 256.0f;

// A repeated character keeps the rectangle of its last record.
std::map<std::uint8_t, GlyphRect> readGlyphTable(const std::uint8_t* record) {
    std::map<std::uint8_t, GlyphRect> glyphs;
    for (; record[0] != tableEnd; record += recordSize) {
        glyphs[record[0]] = GlyphRect{record[1], record[2], record[3], record[4]};
    }
    return glyphs;
}

void emitCorner(std::uint32_t s, std::uint32_t t, std::int32_t x, std::int32_t y) {
    glTexCoord2f(static_cast<float>(s) * texelSize, static_cast<float>(t) * texelSize);
    glVertex3f(static_cast<float>(x), static_cast<float>(y), 0.0f);
}

}  // namespace

BitmapFont::BitmapFont(std::int32_t edge, const std::uint8_t* pixels, const std::uint8_t* glyphRecords)
    : glyphTexture(&fontTexture), glyphs(readGlyphTable(glyphRecords)), fontTexture(edge, pixels) {
    fontTexture.upload();
}

const GlyphRect* BitmapFont::findGlyph(std::uint8_t character) const {
    auto found = glyphs.find(character);
    if (found == glyphs.end()) {
        found = glyphs.find(questionMark);
    }
    return found == glyphs.end() ? nullptr : &found->second;
}

void BitmapFont::drawText(std::int32_t x, std::int32_t y, std::string_view text) const {
    const std::int32_t lineStart = x;
    std::int32_t lineHeight = 0;

    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0, 640, 480, 0, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();

    glyphTexture->bind();
    glBegin(GL_QUADS);
    for (const char byte : text) {
        const std::uint8_t character = static_cast<std::uint8_t>(byte);
        if (character == lineFeed) {
            y += lineHeight + lineGap;
            x = lineStart;
            lineHeight = 0;
            continue;
        }
        const GlyphRect* glyph = findGlyph(character);
        if (glyph == nullptr) {
            continue;
        }
        const std::int32_t w = static_cast<std::int32_t>(glyph->w);
        const std::int32_t h = static_cast<std::int32_t>(glyph->h);
        if (h > lineHeight) {
            lineHeight = h;
        }
        emitCorner(glyph->x, glyph->y, x, y);
        emitCorner(glyph->x + glyph->w, glyph->y, x + w, y);
        emitCorner(glyph->x + glyph->w, glyph->y + glyph->h, x + w, y + h);
        emitCorner(glyph->x, glyph->y + glyph->h, x, y + h);
        x += w;
    }
    glEnd();
    unbind();

    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
}
