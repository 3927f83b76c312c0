// Makes a contact sheet for reviewing the assets at a glance: the six images
// (those with alpha over a checkerboard, the dot enlarged) and three shaded
// views of the logo mesh, each with a caption.
//
//   MakeContactSheet <assets directory> <output.png>

#include "tools/assetmakers/Canvas.h"
#include "tools/assetmakers/ObjTriangles.h"
#include "tools/assetmakers/SavePicture.h"
#include "tools/assetmakers/Typeface.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <string>
#include <vector>

namespace {

constexpr int panel = 256;
constexpr int gap = 12;
constexpr int caption = 18;
constexpr int columns = 3;
constexpr int rows = 3;
constexpr int sheetWidth = columns * panel + (columns + 1) * gap;
constexpr int sheetHeight = rows * (panel + caption) + (rows + 1) * gap;

using Vec3 = std::array<float, 3>;
using Matrix = std::array<Vec3, 3>;  // rows: view right, view up, towards the viewer

using Triangle = ObjTriangle;

[[noreturn]] void fail(const std::string &message) {
    std::fprintf(stderr, "MakeContactSheet: %s\n", message.c_str());
    std::exit(1);
}

RgbaPicture load(const std::string &path) {
    RgbaPicture picture;
    std::string error;
    if (!readPng(path, picture, error)) {
        fail(path + ": " + error);
    }
    return picture;
}

std::vector<Triangle> loadObj(const std::string &path) {
    std::vector<ObjTriangle> triangles;
    std::string error;
    if (!readObjTriangles(path, triangles, error)) {
        fail(error);
    }
    return triangles;
}

float dot(const Vec3 &a, const Vec3 &b) {
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}

Vec3 apply(const Matrix &m, const Vec3 &v) {
    return {dot(m[0], v), dot(m[1], v), dot(m[2], v)};
}

Matrix turned(float yawDegrees, float pitchDegrees) {
    // Start from the front view (seen from -y, +z up), turn about z, then tilt.
    const float yaw = yawDegrees * 3.14159265f / 180, pitch = pitchDegrees * 3.14159265f / 180;
    const Vec3 right{std::cos(yaw), std::sin(yaw), 0};
    const Vec3 towards{std::sin(yaw), -std::cos(yaw), 0};
    const Vec3 up{0, 0, 1};
    const auto combine = [](const Vec3 &a, float s, const Vec3 &b, float t) {
        return Vec3{a[0] * s + b[0] * t, a[1] * s + b[1] * t, a[2] * s + b[2] * t};
    };
    return Matrix{right, combine(up, std::cos(pitch), towards, -std::sin(pitch)),
                  combine(towards, std::cos(pitch), up, std::sin(pitch))};
}

void checkerboard(Canvas &canvas, int left, int top) {
    for (int y = 0; y < panel; ++y) {
        for (int x = 0; x < panel; ++x) {
            const bool light = ((x / 16) + (y / 16)) % 2 == 0;
            canvas.paint(left + x, top + y, light ? rgb(150, 150, 156) : rgb(112, 112, 118), 1);
        }
    }
}

void drawPicture(Canvas &canvas, const RgbaPicture &picture, int left, int top) {
    checkerboard(canvas, left, top);
    const int scale = panel / picture.width;
    for (int y = 0; y < panel; ++y) {
        for (int x = 0; x < panel; ++x) {
            const std::uint8_t *p = &picture.pixels[((y / scale) * picture.width + x / scale) * 4];
            canvas.paint(left + x, top + y, rgb(p[0], p[1], p[2]), p[3] / 255.0f);
        }
    }
}

// Flat-shaded, depth-buffered, back faces culled: a plain software renderer
// so that the views need no GL context.
void drawMesh(Canvas &canvas, const std::vector<Triangle> &mesh, const Matrix &view, int left, int top) {
    canvas.fillRect(left, top, left + panel, top + panel, rgb(28, 30, 40));
    std::vector<Triangle> seen;
    float xMin = 1e9f, xMax = -1e9f, yMin = 1e9f, yMax = -1e9f;
    for (const Triangle &t : mesh) {
        Triangle v;
        for (int k = 0; k < 3; ++k) {
            v[k] = apply(view, t[k]);
            xMin = std::min(xMin, v[k][0]);
            xMax = std::max(xMax, v[k][0]);
            yMin = std::min(yMin, v[k][1]);
            yMax = std::max(yMax, v[k][1]);
        }
        seen.push_back(v);
    }
    const float scale = (panel - 24) / std::max(xMax - xMin, yMax - yMin);
    const float centreX = left + panel / 2.0f, centreY = top + panel / 2.0f;
    const Vec3 light{-0.35f, 0.55f, 0.76f};
    std::vector<float> depth(panel * panel, -std::numeric_limits<float>::infinity());
    for (const Triangle &t : seen) {
        Point p[3];
        for (int k = 0; k < 3; ++k) {
            p[k] = Point{centreX + (t[k][0] - (xMin + xMax) / 2) * scale,
                         centreY - (t[k][1] - (yMin + yMax) / 2) * scale};
        }
        const float area = (p[1].x - p[0].x) * (p[2].y - p[0].y) - (p[1].y - p[0].y) * (p[2].x - p[0].x);
        if (area >= 0) {
            continue;  // facing away (screen y grows downwards)
        }
        const Vec3 e1{t[1][0] - t[0][0], t[1][1] - t[0][1],
                      t[1][2] - t[0][2]};
        const Vec3 e2{t[2][0] - t[0][0], t[2][1] - t[0][1],
                      t[2][2] - t[0][2]};
        Vec3 normal{e1[1] * e2[2] - e1[2] * e2[1], e1[2] * e2[0] - e1[0] * e2[2], e1[0] * e2[1] - e1[1] * e2[0]};
        const float length = std::sqrt(dot(normal, normal));
        for (float &c : normal) {
            c /= length;
        }
        const float shade = 0.28f + 0.72f * std::max(0.0f, dot(normal, light));
        const Colour colour{0.55f * shade + 0.05f, 0.72f * shade + 0.05f, 0.95f * shade + 0.05f, 1};
        const int x0 = std::max(left, static_cast<int>(std::min({p[0].x, p[1].x, p[2].x})));
        const int x1 = std::min(left + panel - 1, static_cast<int>(std::max({p[0].x, p[1].x, p[2].x})) + 1);
        const int y0 = std::max(top, static_cast<int>(std::min({p[0].y, p[1].y, p[2].y})));
        const int y1 = std::min(top + panel - 1, static_cast<int>(std::max({p[0].y, p[1].y, p[2].y})) + 1);
        for (int y = y0; y <= y1; ++y) {
            for (int x = x0; x <= x1; ++x) {
                const Point q{x + 0.5f, y + 0.5f};
                const auto edge = [&q](const Point &a, const Point &b) {
                    return (b.x - a.x) * (q.y - a.y) - (b.y - a.y) * (q.x - a.x);
                };
                const float w0 = edge(p[1], p[2]) / area, w1 = edge(p[2], p[0]) / area, w2 = edge(p[0], p[1]) / area;
                if (w0 < 0 || w1 < 0 || w2 < 0) {
                    continue;
                }
                const float z = w0 * t[0][2] + w1 * t[1][2] + w2 * t[2][2];
                float &stored = depth[(y - top) * panel + (x - left)];
                if (z > stored) {
                    stored = z;
                    canvas.paint(x, y, colour, 1);
                }
            }
        }
    }
}

void drawCaption(Canvas &canvas, const Typeface &face, const std::string &text, int left, int top) {
    const Mask mask = face.fill(text, 13);
    canvas.drawMask(mask, left + mask.left, top + 13 + mask.top, rgb(230, 230, 235));
}

}  // namespace

int main(int argc, char **argv) {
    if (argc != 3) {
        fail("usage: MakeContactSheet <assets directory> <output.png>");
    }
    const std::string assets = std::string(argv[1]) + "/";
    const Typeface face("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf");
    Canvas canvas(sheetWidth, sheetHeight);
    canvas.fill(rgb(44, 46, 54));
    const auto slot = [](int index, int &left, int &top) {
        left = gap + (index % columns) * (panel + gap);
        top = gap + (index / columns) * (panel + caption + gap);
    };
    const char *images[][2] = {{"dot.png", "dotImage 16 (x16)"},       {"nebula.png", "nebulaImage 256"},
                               {"sheet.png", "sheetImage 256"},         {"font.png", "fontImage 256"},
                               {"picture.png", "pictureImage 256"},     {"circuit.png", "circuitImage 256"}};
    int left = 0, top = 0;
    for (int i = 0; i < 6; ++i) {
        slot(i, left, top);
        drawCaption(canvas, face, images[i][1], left, top);
        drawPicture(canvas, load(assets + images[i][0]), left, top + caption);
    }
    const std::vector<Triangle> mesh = loadObj(assets + "logo.obj");
    const std::pair<Matrix, const char *> views[] = {
        {turned(0, 0), "logoMesh from -y"},
        {Matrix{Vec3{1, 0, 0}, Vec3{0, 1, 0}, Vec3{0, 0, 1}}, "logoMesh from +z"},
        {turned(-28, 24), "logoMesh three-quarter"},
    };
    for (int i = 0; i < 3; ++i) {
        slot(6 + i, left, top);
        drawCaption(canvas, face, std::string(views[i].second) + " (" + std::to_string(mesh.size()) + " triangles)",
                    left, top);
        drawMesh(canvas, mesh, views[i].first, left, top + caption);
    }
    savePicture(canvas.downsample(1), argv[2]);
    return 0;
}
