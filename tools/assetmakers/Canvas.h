#pragma once

#include "tools/assetmakers/Colour.h"
#include "tools/assetmakers/Mask.h"
#include "tools/pack/PngFile.h"

#include <vector>

// A floating-point RGBA drawing surface. Shapes are drawn with hard edges and
// anti-aliased by drawing at a multiple of the final size and averaging down
// (`downsample`). A wrapping canvas draws across its borders onto the far side,
// which makes seamless tiles.
class Canvas {
public:
    Canvas(int width, int height, bool wraps = false);

    int width() const { return canvasWidth; }
    int height() const { return canvasHeight; }
    Colour pixel(int x, int y) const;

    void fill(const Colour &colour);
    void paint(int x, int y, const Colour &colour, float coverage);
    void fillRect(float x0, float y0, float x1, float y1, const Colour &colour);
    void drawSegment(Point from, Point to, float thickness, const Colour &colour);
    void drawDashedSegment(Point from, Point to, float thickness, float dash, float gap, const Colour &colour);
    void fillCircle(Point centre, float radius, const Colour &colour);
    void fillRing(Point centre, float innerRadius, float outerRadius, const Colour &colour);
    void drawArc(Point centre, float radius, float fromDegrees, float toDegrees, float thickness,
                 const Colour &colour);
    void fillPolygon(const std::vector<Point> &corners, const Colour &colour);
    void drawArrow(Point from, Point to, float thickness, float headLength, const Colour &colour);
    void drawMask(const Mask &mask, int x, int y, const Colour &colour);

    // Averages factor x factor blocks into one 8-bit pixel each.
    RgbaPicture downsample(int factor) const;

private:
    void paintClipped(int x, int y, const Colour &colour, float coverage);

    int canvasWidth;
    int canvasHeight;
    bool wraps;
    std::vector<Colour> pixels;
};
