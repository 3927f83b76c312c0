#include "tools/assetmakers/Typeface.h"

#include FT_GLYPH_H
#include FT_STROKER_H

#include <algorithm>
#include <climits>
#include <cmath>
#include <stdexcept>
#include <vector>

namespace {

FT_Fixed toFixed26(float value) {
    return static_cast<FT_Fixed>(std::lround(value * 64));
}

}  // namespace

Typeface::Typeface(const std::string &path) {
    if (FT_Init_FreeType(&library) != 0) {
        throw std::runtime_error("cannot start FreeType");
    }
    if (FT_New_Face(library, path.c_str(), 0, &face) != 0) {
        FT_Done_FreeType(library);
        throw std::runtime_error("cannot open font " + path);
    }
    FT_Select_Charmap(face, FT_ENCODING_UNICODE);
}

Typeface::~Typeface() {
    FT_Done_Face(face);
    FT_Done_FreeType(library);
}

Mask Typeface::fill(const std::string &text, float pixelSize, float tracking) const {
    return render(text, pixelSize, 0, tracking);
}

Mask Typeface::stroke(const std::string &text, float pixelSize, float strokeWidth, float tracking) const {
    return render(text, pixelSize, strokeWidth, tracking);
}

Mask Typeface::render(const std::string &text, float pixelSize, float strokeWidth, float tracking) const {
    FT_Set_Char_Size(face, 0, toFixed26(pixelSize), 72, 72);
    FT_Stroker stroker = nullptr;
    if (strokeWidth > 0) {
        FT_Stroker_New(library, &stroker);
        FT_Stroker_Set(stroker, toFixed26(strokeWidth / 2), FT_STROKER_LINECAP_ROUND, FT_STROKER_LINEJOIN_ROUND, 0);
    }
    std::vector<FT_BitmapGlyph> glyphs;
    float penX = 0;
    int left = INT_MAX, top = INT_MAX, right = INT_MIN, bottom = INT_MIN;
    for (const char character : text) {
        const FT_ULong code = static_cast<unsigned char>(character);
        if (FT_Load_Char(face, code, FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP) != 0) {
            throw std::runtime_error("font has no glyph for code " + std::to_string(code));
        }
        FT_Glyph glyph = nullptr;
        FT_Get_Glyph(face->glyph, &glyph);
        if (stroker != nullptr) {
            FT_Glyph_Stroke(&glyph, stroker, 1);
        }
        const float whole = std::floor(penX);
        FT_Vector origin{toFixed26(penX - whole), 0};
        FT_Glyph_To_Bitmap(&glyph, FT_RENDER_MODE_NORMAL, &origin, 1);
        FT_BitmapGlyph bitmapGlyph = reinterpret_cast<FT_BitmapGlyph>(glyph);
        bitmapGlyph->left += static_cast<int>(whole);
        const FT_Bitmap &bitmap = bitmapGlyph->bitmap;
        if (bitmap.width > 0 && bitmap.rows > 0) {
            left = std::min(left, bitmapGlyph->left);
            top = std::min(top, -bitmapGlyph->top);
            right = std::max(right, bitmapGlyph->left + static_cast<int>(bitmap.width));
            bottom = std::max(bottom, -bitmapGlyph->top + static_cast<int>(bitmap.rows));
        }
        glyphs.push_back(bitmapGlyph);
        penX += face->glyph->advance.x / 64.0f + tracking;
    }
    if (stroker != nullptr) {
        FT_Stroker_Done(stroker);
    }
    Mask mask;
    if (right > left) {
        mask.left = left;
        mask.top = top;
        mask.width = right - left;
        mask.height = bottom - top;
        mask.coverage.assign(static_cast<std::size_t>(mask.width) * mask.height, 0);
    }
    for (FT_BitmapGlyph glyph : glyphs) {
        const FT_Bitmap &bitmap = glyph->bitmap;
        for (unsigned row = 0; row < bitmap.rows; ++row) {
            for (unsigned column = 0; column < bitmap.width; ++column) {
                const int x = glyph->left + static_cast<int>(column) - mask.left;
                const int y = -glyph->top + static_cast<int>(row) - mask.top;
                float &target = mask.coverage[static_cast<std::size_t>(y) * mask.width + x];
                const float value = bitmap.buffer[row * bitmap.pitch + column] / 255.0f;
                target = std::max(target, value);
            }
        }
        FT_Done_Glyph(reinterpret_cast<FT_Glyph>(glyph));
    }
    return mask;
}
