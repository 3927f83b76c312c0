// Makes the desktop icon from the logo mesh: the letters V O R N seen from
// the front (from -y, as the contact sheet's first view), sea green with a
// darker extrusion under them, above the word TIDEWASH, on a rounded
// night-blue tile with a few glowing particles. 256 x 256, transparent
// outside the tile.
//
//   MakeIcon <logo.obj> <icon.png>

#include "tools/assetmakers/Canvas.h"
#include "tools/assetmakers/ObjTriangles.h"
#include "tools/assetmakers/SavePicture.h"
#include "tools/assetmakers/Typeface.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr int iconSize = 256;
constexpr int supersample = 4;
constexpr float canvasSize = iconSize * supersample;
constexpr float cornerRadius = 44 * supersample;
constexpr float logoWidth = 212 * supersample;
constexpr float logoCentreY = 108 * supersample;
constexpr float extrusionDepth = 5 * supersample;
constexpr float wordPixelSize = 27 * supersample;
constexpr float wordBaseline = 190 * supersample;
constexpr float pi = 3.14159265f;

using Vertex = ObjVertex;
using Triangle = ObjTriangle;

[[noreturn]] void fail(const std::string &message) {
    std::fprintf(stderr, "MakeIcon: %s\n", message.c_str());
    std::exit(1);
}

std::vector<Triangle> loadObj(const std::string &path) {
    std::vector<ObjTriangle> triangles;
    std::string error;
    if (!readObjTriangles(path, triangles, error)) {
        fail(error);
    }
    return triangles;
}

// The cap nearest a viewer at -y: the triangles lying in the mesh's lowest y.
std::vector<Triangle> frontCap(const std::vector<Triangle> &mesh) {
    float front = mesh[0][0][1];
    for (const Triangle &t : mesh) {
        for (const Vertex &v : t) {
            front = std::min(front, v[1]);
        }
    }
    std::vector<Triangle> cap;
    for (const Triangle &t : mesh) {
        if (std::all_of(t.begin(), t.end(), [front](const Vertex &v) { return std::abs(v[1] - front) < 1e-4f; })) {
            cap.push_back(t);
        }
    }
    return cap;
}

// The cap's triangles as canvas polygons: x to the right, z up, scaled to
// logoWidth and centred across the canvas at logoCentreY.
std::vector<std::vector<Point>> placeOnCanvas(const std::vector<Triangle> &cap) {
    float xMin = 1e9f, xMax = -1e9f, zMin = 1e9f, zMax = -1e9f;
    for (const Triangle &t : cap) {
        for (const Vertex &v : t) {
            xMin = std::min(xMin, v[0]);
            xMax = std::max(xMax, v[0]);
            zMin = std::min(zMin, v[2]);
            zMax = std::max(zMax, v[2]);
        }
    }
    const float scale = logoWidth / (xMax - xMin);
    std::vector<std::vector<Point>> polygons;
    for (const Triangle &t : cap) {
        std::vector<Point> corners;
        for (const Vertex &v : t) {
            corners.push_back(Point{canvasSize / 2 + (v[0] - (xMin + xMax) / 2) * scale,
                                    logoCentreY - (v[2] - (zMin + zMax) / 2) * scale});
        }
        polygons.push_back(corners);
    }
    return polygons;
}

// The tile: a square with rounded corners over the whole canvas, shaded from
// a lighter top to a darker bottom.
void drawTile(Canvas &canvas) {
    std::vector<Point> outline;
    const Point centres[] = {{canvasSize - cornerRadius, cornerRadius},
                             {cornerRadius, cornerRadius},
                             {cornerRadius, canvasSize - cornerRadius},
                             {canvasSize - cornerRadius, canvasSize - cornerRadius}};
    for (int corner = 0; corner < 4; ++corner) {
        for (int step = 0; step <= 24; ++step) {
            const float angle = (corner * 90 + step * 90.0f / 24) * pi / 180;
            outline.push_back(Point{centres[corner].x + cornerRadius * std::cos(angle),
                                    centres[corner].y - cornerRadius * std::sin(angle)});
        }
    }
    canvas.fillPolygon(outline, rgb(0, 0, 0));
    const Colour top = rgb(38, 46, 74), bottom = rgb(12, 14, 26);
    for (int y = 0; y < canvas.height(); ++y) {
        const Colour shade = mix(top, bottom, float(y) / float(canvas.height() - 1));
        for (int x = 0; x < canvas.width(); ++x) {
            if (canvas.pixel(x, y).a > 0) {
                canvas.paint(x, y, shade, 1);
            }
        }
    }
}

// A glowing particle as in the opening scene: a bright core in a soft halo.
void drawParticle(Canvas &canvas, Point centre, float radius) {
    for (int ring = 8; ring >= 1; --ring) {
        canvas.fillCircle(centre, radius * ring / 2.5f, rgb(240, 236, 200, 0.06f));
    }
    canvas.fillCircle(centre, radius * 0.5f, rgb(255, 252, 230, 0.9f));
}

}  // namespace

int main(int argc, char **argv) {
    if (argc != 3) {
        fail("usage: MakeIcon <logo.obj> <icon.png>");
    }
    const std::vector<std::vector<Point>> letters = placeOnCanvas(frontCap(loadObj(argv[1])));
    Canvas canvas{int(canvasSize), int(canvasSize)};
    drawTile(canvas);

    const float s = supersample;
    drawParticle(canvas, Point{52 * s, 44 * s}, 5 * s);
    drawParticle(canvas, Point{200 * s, 32 * s}, 3.5f * s);
    drawParticle(canvas, Point{222 * s, 226 * s}, 4 * s);
    drawParticle(canvas, Point{34 * s, 214 * s}, 3 * s);

    // The extrusion: the letters again, stepped down and to the right.
    for (float depth = extrusionDepth; depth >= 1; depth -= 1) {
        const Colour side = mix(rgb(24, 56, 50), rgb(52, 100, 86), 1 - depth / extrusionDepth);
        for (std::vector<Point> corners : letters) {
            for (Point &p : corners) {
                p.x += depth * 0.6f;
                p.y += depth;
            }
            canvas.fillPolygon(corners, side);
        }
    }
    for (const std::vector<Point> &corners : letters) {
        canvas.fillPolygon(corners, rgb(124, 190, 160));
    }

    const Typeface face("/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf");
    const Mask word = face.fill("TIDEWASH", wordPixelSize, 2 * s);
    canvas.drawMask(word, int((canvasSize - word.width) / 2), int(wordBaseline) + word.top, rgb(226, 230, 240));

    savePicture(canvas.downsample(supersample), argv[2]);
    return 0;
}
