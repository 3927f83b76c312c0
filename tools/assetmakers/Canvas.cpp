#include "tools/assetmakers/Canvas.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr float degreesToRadians = 3.14159265358979f / 180.0f;

float distanceToSegment(Point p, Point a, Point b) {
    const float dx = b.x - a.x;
    const float dy = b.y - a.y;
    const float lengthSquared = dx * dx + dy * dy;
    float t = lengthSquared > 0 ? ((p.x - a.x) * dx + (p.y - a.y) * dy) / lengthSquared : 0;
    t = std::clamp(t, 0.0f, 1.0f);
    return std::hypot(p.x - (a.x + t * dx), p.y - (a.y + t * dy));
}

std::uint8_t toByte(float value) {
    return static_cast<std::uint8_t>(std::lround(std::clamp(value, 0.0f, 1.0f) * 255.0f));
}

}  // namespace

Canvas::Canvas(int width, int height, bool wraps)
    : canvasWidth(width), canvasHeight(height), wraps(wraps),
      pixels(static_cast<std::size_t>(width) * height, Colour{0, 0, 0, 0}) {}

Colour Canvas::pixel(int x, int y) const {
    return pixels[static_cast<std::size_t>(y) * canvasWidth + x];
}

void Canvas::fill(const Colour &colour) {
    std::fill(pixels.begin(), pixels.end(), colour);
}

void Canvas::paint(int x, int y, const Colour &colour, float coverage) {
    if (wraps) {
        x = ((x % canvasWidth) + canvasWidth) % canvasWidth;
        y = ((y % canvasHeight) + canvasHeight) % canvasHeight;
    }
    paintClipped(x, y, colour, coverage);
}

void Canvas::paintClipped(int x, int y, const Colour &colour, float coverage) {
    if (x < 0 || y < 0 || x >= canvasWidth || y >= canvasHeight) {
        return;
    }
    const float alpha = colour.a * std::clamp(coverage, 0.0f, 1.0f);
    if (alpha <= 0) {
        return;
    }
    Colour &target = pixels[static_cast<std::size_t>(y) * canvasWidth + x];
    const float outAlpha = alpha + target.a * (1 - alpha);
    const float keep = target.a * (1 - alpha);
    target.r = (colour.r * alpha + target.r * keep) / outAlpha;
    target.g = (colour.g * alpha + target.g * keep) / outAlpha;
    target.b = (colour.b * alpha + target.b * keep) / outAlpha;
    target.a = outAlpha;
}

void Canvas::fillRect(float x0, float y0, float x1, float y1, const Colour &colour) {
    for (int y = static_cast<int>(std::ceil(y0 - 0.5f)); y + 0.5f < y1; ++y) {
        for (int x = static_cast<int>(std::ceil(x0 - 0.5f)); x + 0.5f < x1; ++x) {
            paint(x, y, colour, 1);
        }
    }
}

void Canvas::drawSegment(Point from, Point to, float thickness, const Colour &colour) {
    const float half = thickness / 2;
    const int xMin = static_cast<int>(std::floor(std::min(from.x, to.x) - half));
    const int xMax = static_cast<int>(std::ceil(std::max(from.x, to.x) + half));
    const int yMin = static_cast<int>(std::floor(std::min(from.y, to.y) - half));
    const int yMax = static_cast<int>(std::ceil(std::max(from.y, to.y) + half));
    for (int y = yMin; y <= yMax; ++y) {
        for (int x = xMin; x <= xMax; ++x) {
            if (distanceToSegment(Point{x + 0.5f, y + 0.5f}, from, to) <= half) {
                paint(x, y, colour, 1);
            }
        }
    }
}

void Canvas::drawDashedSegment(Point from, Point to, float thickness, float dash, float gap,
                               const Colour &colour) {
    const float length = std::hypot(to.x - from.x, to.y - from.y);
    const Point step{(to.x - from.x) / length, (to.y - from.y) / length};
    for (float start = 0; start < length; start += dash + gap) {
        const float end = std::min(start + dash, length);
        drawSegment(Point{from.x + step.x * start, from.y + step.y * start},
                    Point{from.x + step.x * end, from.y + step.y * end}, thickness, colour);
    }
}

void Canvas::fillCircle(Point centre, float radius, const Colour &colour) {
    fillRing(centre, 0, radius, colour);
}

void Canvas::fillRing(Point centre, float innerRadius, float outerRadius, const Colour &colour) {
    const int xMin = static_cast<int>(std::floor(centre.x - outerRadius));
    const int xMax = static_cast<int>(std::ceil(centre.x + outerRadius));
    const int yMin = static_cast<int>(std::floor(centre.y - outerRadius));
    const int yMax = static_cast<int>(std::ceil(centre.y + outerRadius));
    for (int y = yMin; y <= yMax; ++y) {
        for (int x = xMin; x <= xMax; ++x) {
            const float distance = std::hypot(x + 0.5f - centre.x, y + 0.5f - centre.y);
            if (distance <= outerRadius && distance >= innerRadius) {
                paint(x, y, colour, 1);
            }
        }
    }
}

void Canvas::drawArc(Point centre, float radius, float fromDegrees, float toDegrees, float thickness,
                     const Colour &colour) {
    const int steps = std::max(2, static_cast<int>(std::abs(toDegrees - fromDegrees) * radius / 60));
    Point previous{};
    for (int i = 0; i <= steps; ++i) {
        const float angle = (fromDegrees + (toDegrees - fromDegrees) * i / steps) * degreesToRadians;
        const Point current{centre.x + radius * std::cos(angle), centre.y - radius * std::sin(angle)};
        if (i > 0) {
            drawSegment(previous, current, thickness, colour);
        }
        previous = current;
    }
}

void Canvas::fillPolygon(const std::vector<Point> &corners, const Colour &colour) {
    float yMin = corners[0].y;
    float yMax = corners[0].y;
    for (const Point &corner : corners) {
        yMin = std::min(yMin, corner.y);
        yMax = std::max(yMax, corner.y);
    }
    std::vector<float> crossings;
    for (int y = static_cast<int>(std::floor(yMin)); y <= static_cast<int>(std::ceil(yMax)); ++y) {
        const float scanY = y + 0.5f;
        crossings.clear();
        for (std::size_t i = 0; i < corners.size(); ++i) {
            const Point a = corners[i];
            const Point b = corners[(i + 1) % corners.size()];
            if ((a.y <= scanY) != (b.y <= scanY)) {
                crossings.push_back(a.x + (scanY - a.y) / (b.y - a.y) * (b.x - a.x));
            }
        }
        std::sort(crossings.begin(), crossings.end());
        for (std::size_t i = 0; i + 1 < crossings.size(); i += 2) {
            for (int x = static_cast<int>(std::ceil(crossings[i] - 0.5f)); x + 0.5f < crossings[i + 1]; ++x) {
                paint(x, y, colour, 1);
            }
        }
    }
}

void Canvas::drawArrow(Point from, Point to, float thickness, float headLength, const Colour &colour) {
    const float length = std::hypot(to.x - from.x, to.y - from.y);
    const Point along{(to.x - from.x) / length, (to.y - from.y) / length};
    const Point across{-along.y, along.x};
    const Point base{to.x - along.x * headLength, to.y - along.y * headLength};
    const float halfWidth = headLength * 0.35f;
    drawSegment(from, base, thickness, colour);
    fillPolygon({to,
                 Point{base.x + across.x * halfWidth, base.y + across.y * halfWidth},
                 Point{base.x - across.x * halfWidth, base.y - across.y * halfWidth}},
                colour);
}

void Canvas::drawMask(const Mask &mask, int x, int y, const Colour &colour) {
    for (int row = 0; row < mask.height; ++row) {
        for (int column = 0; column < mask.width; ++column) {
            paint(x + column, y + row, colour, mask.at(column, row));
        }
    }
}

RgbaPicture Canvas::downsample(int factor) const {
    RgbaPicture picture;
    picture.width = canvasWidth / factor;
    picture.height = canvasHeight / factor;
    picture.pixels.reserve(static_cast<std::size_t>(picture.width) * picture.height * 4);
    const float samples = static_cast<float>(factor * factor);
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            float r = 0, g = 0, b = 0, a = 0;
            for (int sy = 0; sy < factor; ++sy) {
                for (int sx = 0; sx < factor; ++sx) {
                    const Colour c = pixel(x * factor + sx, y * factor + sy);
                    r += c.r * c.a;
                    g += c.g * c.a;
                    b += c.b * c.a;
                    a += c.a;
                }
            }
            const float alpha = a / samples;
            const float unpremultiply = a > 0 ? 1 / a : 0;
            picture.pixels.push_back(toByte(r * unpremultiply));
            picture.pixels.push_back(toByte(g * unpremultiply));
            picture.pixels.push_back(toByte(b * unpremultiply));
            picture.pixels.push_back(toByte(alpha));
        }
    }
    return picture;
}
