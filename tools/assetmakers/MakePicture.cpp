// Makes the title picture behind the object scene: the title in white block
// capitals with a grey outline across the upper third of a pale cream sheet,
// overdrawn with thin dark-blue construction lines, dimensions and arrows like
// a technical drawing, and a long arrow down the left side.

#include "tools/assetmakers/Canvas.h"
#include "tools/assetmakers/SavePicture.h"
#include "tools/assetmakers/Typeface.h"
#include "tools/assetmakers/ValueNoise.h"

#include <cmath>
#include <string>

namespace {

constexpr int edge = 256;
constexpr int detail = 4;  // canvas pixels per picture pixel
constexpr float unit = detail;

const Colour cream = rgb(250, 250, 206);
const Colour ink = rgb(22, 40, 112);
const Colour paleInk = rgb(22, 40, 112, 0.10f);
const std::string fonts = "/usr/share/fonts/opentype/urw-base35/";

// Picture coordinates (0 to 256) to canvas coordinates.
Point at(float x, float y) {
    return Point{x * unit, y * unit};
}

void paper(Canvas &canvas) {
    const ValueNoise grain(32, 7);
    for (int y = 0; y < canvas.height(); ++y) {
        for (int x = 0; x < canvas.width(); ++x) {
            const float shade = (grain.fractal(x / 24.0f, y / 24.0f, 4) - 0.5f) * 0.035f;
            canvas.paint(x, y, Colour{cream.r + shade, cream.g + shade, cream.b + shade, 1}, 1);
        }
    }
    for (int line = 16; line < edge; line += 32) {
        canvas.drawSegment(at(line, 0), at(line, edge), 0.5f * unit, paleInk);
        canvas.drawSegment(at(0, line), at(edge, line), 0.5f * unit, paleInk);
    }
}

void label(Canvas &canvas, const Typeface &face, const std::string &text, float x, float y, float size) {
    const Mask mask = face.fill(text, size * unit);
    canvas.drawMask(mask, static_cast<int>(x * unit) + mask.left, static_cast<int>(y * unit) + mask.top, ink);
}

// The title's left and right edges in picture units, for the dimension.
struct Span {
    float left;
    float right;
};

Span title(Canvas &canvas) {
    const Typeface face(fonts + "NimbusSans-Bold.otf");
    const float wantedWidth = 200 * unit;
    const float tracking = 1.5f * unit;
    const float trialSize = 40 * unit;
    const float size = trialSize * wantedWidth / face.fill("TIDEWASH", trialSize, tracking).width;
    const Mask fill = face.fill("TIDEWASH", size, tracking);
    const Mask outline = face.stroke("TIDEWASH", size, 2.2f * unit, tracking);
    const int penX = static_cast<int>(134 * unit) - fill.width / 2 - fill.left;
    const int penY = static_cast<int>(72 * unit);
    const int shadow = static_cast<int>(2.5f * unit);
    canvas.drawMask(outline, penX + outline.left + shadow, penY + outline.top + shadow, rgb(60, 60, 70, 0.35f));
    canvas.drawMask(outline, penX + outline.left, penY + outline.top, rgb(120, 122, 128));
    canvas.drawMask(fill, penX + fill.left, penY + fill.top, rgb(255, 255, 255));
    return Span{(penX + fill.left) / unit, (penX + fill.left + fill.width) / unit};
}

void dimension(Canvas &canvas, Point from, Point to, float offset) {
    const float thin = 0.6f * unit;
    canvas.drawSegment(Point{from.x, from.y}, Point{from.x, from.y - offset - 3 * unit}, thin, ink);
    canvas.drawSegment(Point{to.x, to.y}, Point{to.x, to.y - offset - 3 * unit}, thin, ink);
    const Point left{from.x, from.y - offset}, right{to.x, to.y - offset};
    const Point middle{(left.x + right.x) / 2, left.y};
    canvas.drawArrow(middle, left, thin, 5 * unit, ink);
    canvas.drawArrow(middle, right, thin, 5 * unit, ink);
}

void constructionLines(Canvas &canvas, const Span &titleSpan) {
    const float thin = 0.6f * unit;
    const Typeface face(fonts + "NimbusSansNarrow-Regular.otf");
    // Frame the title: baseline, cap line and a dimension above.
    canvas.drawSegment(at(24, 72.5f), at(252, 72.5f), thin, ink);
    canvas.drawDashedSegment(at(24, 42), at(252, 42), thin, 6 * unit, 3 * unit, ink);
    dimension(canvas, at(titleSpan.left, 34), at(titleSpan.right, 34), 18 * unit);
    label(canvas, face, "20.11", (titleSpan.left + titleSpan.right) / 2 - 9, 13, 8);
    // Diagonals through the lettering, as if setting out its slant.
    canvas.drawSegment(at(titleSpan.left - 6, 92), at(134, 24), thin, ink);
    canvas.drawSegment(at(134, 24), at(titleSpan.right + 6, 92), thin, ink);
    canvas.drawDashedSegment(at(134, 20), at(134, 250), thin, 10 * unit, 2.5f * unit, ink);

    // A circle with centre marks, a radius and an angle.
    const Point centre = at(134, 160);
    canvas.fillRing(centre, 48 * unit - thin / 2, 48 * unit + thin / 2, ink);
    canvas.fillRing(centre, 28 * unit - thin / 2, 28 * unit + thin / 2, ink);
    canvas.drawDashedSegment(at(76, 160), at(192, 160), thin, 9 * unit, 2.5f * unit, ink);
    canvas.drawArrow(centre, at(134 + 48 * 0.707f, 160 - 48 * 0.707f), thin, 5 * unit, ink);
    canvas.drawArc(centre, 18 * unit, 0, 45, thin, ink);
    label(canvas, face, "R 48", 174, 118, 8);
    label(canvas, face, "45\xb0", 154, 152, 7);

    // An isometric block in the lower right corner.
    const Point a = at(200, 226), b = at(226, 214), c = at(246, 224), d = at(220, 236);
    const float rise = 22 * unit;
    const auto up = [rise](Point p) { return Point{p.x, p.y - rise}; };
    for (const auto &[p, q] : {std::pair{a, b}, {b, c}, {c, d}, {d, a}}) {
        canvas.drawSegment(up(p), up(q), thin, ink);
    }
    canvas.drawSegment(a, d, thin, ink);
    canvas.drawSegment(d, c, thin, ink);
    canvas.drawDashedSegment(a, b, thin, 3 * unit, 2 * unit, ink);
    canvas.drawDashedSegment(b, c, thin, 3 * unit, 2 * unit, ink);
    for (const Point &p : {a, b, c, d}) {
        canvas.drawSegment(p, up(p), thin, ink);
    }
    // A leader from the block to a note.
    canvas.drawArrow(at(174, 236), at(200, 222), thin, 4 * unit, ink);
    label(canvas, face, "VORN 0.3", 140, 236, 8);
}

// The long arrow down the left side, with ruler ticks beside it.
void sideArrow(Canvas &canvas) {
    canvas.drawArrow(at(14, 8), at(14, 250), 1.6f * unit, 10 * unit, ink);
    for (int y = 16; y < 236; y += 8) {
        const float length = (y % 32 == 0) ? 6 : 3;
        canvas.drawSegment(at(17, y), at(17 + length, y), 0.6f * unit, ink);
    }
}

}  // namespace

int main(int argc, char **argv) {
    const std::string path = outputPathArgument(argc, argv);
    Canvas canvas(edge * detail, edge * detail);
    paper(canvas);
    const Span titleSpan = title(canvas);
    constructionLines(canvas, titleSpan);
    sideArrow(canvas);
    savePicture(canvas.downsample(detail), path);
    return 0;
}
