// Makes the lettering sheet of the sprite scene: eight bands of grey and black
// lettering on a transparent ground. Seven bands show the title in different
// outlined typefaces, one the presenting line in a script face. Each band is
// drawn large, cropped to its ink and scaled into its exact rows, so the rows
// holding ink are exactly the band rows. Pixels are grey with alpha 255 - grey:
// white is fully transparent and black fully opaque.

#include "tools/assetmakers/Canvas.h"
#include "tools/assetmakers/SavePicture.h"
#include "tools/assetmakers/Typeface.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

namespace {

constexpr int edge = 256;
constexpr int leftmostColumn = 8;
constexpr int widestBand = 240;
constexpr int detail = 5;  // drawing pixels per sheet pixel, roughly
constexpr float inkThreshold = 0.25f;

const std::string fontDirectory = "/usr/share/fonts/opentype/urw-base35/";
const std::string dejavuDirectory = "/usr/share/fonts/truetype/dejavu/";

enum class Fill { none, solid, shadowed, doubleLine, gradient, hatched };

struct Band {
    int firstRow;
    int lastRow;
    int width;
    std::string font;
    std::string text;
    Fill fill;
    float fillGrey;     // 0 black .. 1 white
    float strokeShare;    // outline width as a share of the font size
    float trackingShare;  // most extra letter spacing, as a share of the font size
    bool ringOrnament;
};

// A grey-level drawing: 1 is white paper, 0 black ink.
struct GreyField {
    int width = 0;
    int height = 0;
    std::vector<float> grey;
};

GreyField greyOf(const Canvas &canvas) {
    GreyField field{canvas.width(), canvas.height(), {}};
    field.grey.reserve(static_cast<std::size_t>(field.width) * field.height);
    for (int y = 0; y < field.height; ++y) {
        for (int x = 0; x < field.width; ++x) {
            field.grey.push_back(canvas.pixel(x, y).r);
        }
    }
    return field;
}

// Paints the mask with a grey chosen per canvas pixel.
void paintShaded(Canvas &canvas, const Mask &mask, int x, int y, const std::function<float(int, int)> &greyAt) {
    for (int row = 0; row < mask.height; ++row) {
        for (int column = 0; column < mask.width; ++column) {
            const float grey = greyAt(x + column, y + row);
            canvas.paint(x + column, y + row, Colour{grey, grey, grey, 1}, mask.at(column, row));
        }
    }
}

void drawRingOrnament(Canvas &canvas, Point centre, float radius) {
    const Colour black{0, 0, 0, 1};
    const Colour grey{0.55f, 0.55f, 0.55f, 1};
    canvas.fillRing(centre, radius * 0.86f, radius, black);
    canvas.fillRing(centre, radius * 0.62f, radius * 0.74f, black);
    canvas.fillRing(centre, radius * 0.30f, radius * 0.62f, grey);
    canvas.fillCircle(centre, radius * 0.18f, black);
    for (int spoke = 0; spoke < 8; ++spoke) {
        const float angle = spoke * 3.14159265f / 4;
        const Point dir{std::cos(angle), std::sin(angle)};
        canvas.drawSegment(Point{centre.x + dir.x * radius * 0.30f, centre.y + dir.y * radius * 0.30f},
                           Point{centre.x + dir.x * radius * 0.62f, centre.y + dir.y * radius * 0.62f},
                           radius * 0.07f, black);
    }
}

// Draws the band's lettering large on white and returns it.
GreyField drawBand(const Band &band) {
    const Typeface face(band.font);
    const int height = band.lastRow - band.firstRow + 1;
    const float size = height * detail / 0.72f;
    const float strokeWidth = size * band.strokeShare;
    // Spread the letters so the band keeps its proportions at the wanted width.
    const Mask natural = face.fill(band.text, size);
    const float ornamentWidth = band.ringOrnament ? natural.height * 1.35f : 0;
    const float wantedWidth = band.width * static_cast<float>(natural.height + strokeWidth) / height;
    const float gaps = static_cast<float>(band.text.size() - 1);
    // Whatever spacing cannot make up is made up by widening the letters.
    const float tracking = std::clamp((wantedWidth - ornamentWidth - natural.width - strokeWidth) / gaps, 0.0f,
                                      size * band.trackingShare);

    const Mask fill = face.fill(band.text, size, tracking);
    const Mask outline = face.stroke(band.text, size, strokeWidth, tracking);
    const Mask inner = face.stroke(band.text, size, strokeWidth * 0.3f, tracking);
    const int shadow = static_cast<int>(size * 0.06f);
    const int margin = static_cast<int>(strokeWidth) + shadow + 8;
    Canvas canvas(static_cast<int>(ornamentWidth) + outline.width + 2 * margin, outline.height + 2 * margin);
    canvas.fill(Colour{1, 1, 1, 1});
    const int penX = margin + static_cast<int>(ornamentWidth) - outline.left;
    const int penY = margin - outline.top;
    const Colour black{0, 0, 0, 1};
    const Colour white{1, 1, 1, 1};
    const Colour fillColour{band.fillGrey, band.fillGrey, band.fillGrey, 1};
    const int fillX = penX + fill.left, fillY = penY + fill.top;

    switch (band.fill) {
    case Fill::none:
        break;
    case Fill::solid:
        canvas.drawMask(fill, fillX, fillY, fillColour);
        break;
    case Fill::shadowed:
        canvas.drawMask(outline, penX + outline.left + shadow, penY + outline.top + shadow, fillColour);
        canvas.drawMask(fill, fillX, fillY, white);
        break;
    case Fill::doubleLine:
        canvas.drawMask(fill, fillX, fillY, fillColour);
        break;
    case Fill::gradient:
        paintShaded(canvas, fill, fillX, fillY, [&](int, int y) {
            const float t = static_cast<float>(y - fillY) / fill.height;
            return band.fillGrey + (0.95f - band.fillGrey) * (1 - t);
        });
        break;
    case Fill::hatched:
        paintShaded(canvas, fill, fillX, fillY, [&](int x, int y) {
            const int stripe = static_cast<int>(std::floor((x + y) / (size * 0.09f)));
            return stripe % 2 == 0 ? band.fillGrey : 0.9f;
        });
        break;
    }
    if (band.strokeShare > 0) {
        canvas.drawMask(outline, penX + outline.left, penY + outline.top, black);
    }
    if (band.fill == Fill::doubleLine) {
        canvas.drawMask(inner, penX + inner.left, penY + inner.top, white);
    }
    if (band.ringOrnament) {
        const float radius = natural.height * 0.55f;
        drawRingOrnament(canvas, Point{margin + radius, penY + natural.top + natural.height * 0.5f}, radius);
    }
    return greyOf(canvas);
}

struct Box {
    int left, top, right, bottom;  // inclusive
};

Box inkBox(const GreyField &field) {
    Box box{field.width, field.height, -1, -1};
    for (int y = 0; y < field.height; ++y) {
        for (int x = 0; x < field.width; ++x) {
            if (1 - field.grey[y * field.width + x] >= inkThreshold) {
                box.left = std::min(box.left, x);
                box.right = std::max(box.right, x);
                box.top = std::min(box.top, y);
                box.bottom = std::max(box.bottom, y);
            }
        }
    }
    return box;
}

// Averages the source over each target pixel's footprint (exact box filter).
std::vector<float> resample(const GreyField &field, const Box &box, int width, int height) {
    const float spanX = static_cast<float>(box.right - box.left + 1) / width;
    const float spanY = static_cast<float>(box.bottom - box.top + 1) / height;
    const auto overlap = [](float from, float to, int cell) {
        return std::max(0.0f, std::min(to, cell + 1.0f) - std::max(from, static_cast<float>(cell)));
    };
    std::vector<float> result(static_cast<std::size_t>(width) * height);
    for (int ty = 0; ty < height; ++ty) {
        const float y0 = ty * spanY, y1 = (ty + 1) * spanY;
        for (int tx = 0; tx < width; ++tx) {
            const float x0 = tx * spanX, x1 = (tx + 1) * spanX;
            float sum = 0, weight = 0;
            for (int sy = static_cast<int>(y0); sy < static_cast<int>(std::ceil(y1)); ++sy) {
                const float wy = overlap(y0, y1, sy);
                for (int sx = static_cast<int>(x0); sx < static_cast<int>(std::ceil(x1)); ++sx) {
                    const float w = wy * overlap(x0, x1, sx);
                    sum += w * field.grey[(box.top + sy) * field.width + box.left + sx];
                    weight += w;
                }
            }
            result[ty * width + tx] = sum / weight;
        }
    }
    return result;
}

void placeBand(RgbaPicture &sheet, const Band &band) {
    const GreyField field = drawBand(band);
    const int height = band.lastRow - band.firstRow + 1;
    const std::vector<float> grey = resample(field, inkBox(field), band.width, height);
    const int left = leftmostColumn + (widestBand - band.width) / 2;
    for (int y = 0; y < height; ++y) {
        bool inked = false;
        for (int x = 0; x < band.width; ++x) {
            const auto level = static_cast<std::uint8_t>(std::lround(std::clamp(grey[y * band.width + x], 0.0f, 1.0f) * 255));
            std::uint8_t *pixel = &sheet.pixels[((band.firstRow + y) * edge + left + x) * 4];
            pixel[0] = pixel[1] = pixel[2] = level;
            pixel[3] = static_cast<std::uint8_t>(255 - level);
            inked = inked || level < 255;
        }
        if (!inked) {
            std::fprintf(stderr, "MakeSheet: row %d of the band at %d has no ink\n", band.firstRow + y, band.firstRow);
            std::exit(1);
        }
    }
}

}  // namespace

int main(int argc, char **argv) {
    const std::string path = outputPathArgument(argc, argv);
    const std::string title = "TIDEWASH";
    const std::vector<Band> bands{
        {0, 26, 240, fontDirectory + "NimbusSans-Bold.otf", title, Fill::solid, 0.55f, 0.07f, 0.06f, false},
        {29, 57, 220, fontDirectory + "C059-Bold.otf", title, Fill::shadowed, 0.6f, 0.05f, 0.04f, false},
        {67, 90, 200, fontDirectory + "URWGothic-Demi.otf", title, Fill::solid, 0.82f, 0.09f, 0.05f, false},
        {96, 122, 240, fontDirectory + "P052-Bold.otf", title, Fill::doubleLine, 0.3f, 0.14f, 0.06f, false},
        {128, 158, 228, fontDirectory + "URWBookman-Demi.otf", title, Fill::gradient, 0.25f, 0.06f, 0.04f, false},
        {163, 189, 240, dejavuDirectory + "DejaVuSerif-Bold.ttf", title, Fill::hatched, 0.35f, 0.06f, 0.04f, true},
        {192, 211, 136, fontDirectory + "Z003-MediumItalic.otf", "Vorn presents", Fill::solid, 0.0f, 0.025f, 0.0f,
         false},
        {212, 238, 240, dejavuDirectory + "DejaVuSans-Bold.ttf", title, Fill::doubleLine, 0.92f, 0.14f, 0.05f,
         false},
    };
    RgbaPicture sheet{edge, edge, {}};
    for (int i = 0; i < edge * edge; ++i) {
        sheet.pixels.insert(sheet.pixels.end(), {255, 255, 255, 0});
    }
    for (const Band &band : bands) {
        placeBand(sheet, band);
    }
    savePicture(sheet, path);
    return 0;
}
