// Makes the logo mesh: the letters V O R N as outlines in the x-z plane (tops
// towards +z, reading left to right along +x when seen from -y), extruded
// from y = 0 to y = -5 and written as a Wavefront OBJ file of triangles.
//
// The outlines have 101 edges in all. Each letter is one piece and the O has
// the only hole, so the caps take 101 - 2 * (4 - 1) = 95 triangles each and
// the side walls two per edge, 202: 392 triangles.

#include "tools/assetmakers/EarClipper.h"

#include <algorithm>
#include <cmath>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

namespace {

using Vertex = EarClipper::Vertex;
using Loop = EarClipper::Loop;

constexpr double pi = 3.14159265358979323846;
constexpr double capTop = 0.0;
constexpr double capBottom = -5.0;

// The box the finished logo fills, in x and z.
constexpr double boxLeft = -11.5043;
constexpr double boxRight = 8.6057;
constexpr double boxBottom = -2.7974;
constexpr double boxTop = 2.8557;

constexpr int edgesInAll = 101;
constexpr int capTriangles = 95;

struct Letter {
    Loop outline;
    std::vector<Loop> holes;
};

Loop shifted(Loop loop, double dx) {
    for (Vertex &vertex : loop) {
        vertex.x += dx;
    }
    return loop;
}

// Points on a circular arc from one angle to another, both ends included.
void appendArc(Loop &loop, Vertex centre, double radius, double fromDegrees, double toDegrees, int segments) {
    for (int i = 0; i <= segments; ++i) {
        const double angle = (fromDegrees + (toDegrees - fromDegrees) * i / segments) * pi / 180;
        loop.push_back(Vertex{centre.x + radius * std::cos(angle), centre.y + radius * std::sin(angle)});
    }
}

// A rounded, squarish ring: a superellipse with the given half extents.
Loop superellipse(Vertex centre, double halfWidth, double halfHeight, int points) {
    constexpr double exponent = 2.0 / 2.6;
    Loop loop;
    for (int i = 0; i < points; ++i) {
        const double angle = 2 * pi * i / points;
        const double c = std::cos(angle), s = std::sin(angle);
        loop.push_back(Vertex{centre.x + halfWidth * std::copysign(std::pow(std::abs(c), exponent), c),
                              centre.y + halfHeight * std::copysign(std::pow(std::abs(s), exponent), s)});
    }
    return loop;
}

Letter letterV(double left) {
    return Letter{shifted({{1.6, 0}, {2.8, 0}, {4.4, 5}, {3.2, 5}, {2.2, 1.55}, {1.2, 5}, {0, 5}}, left), {}};
}

Letter letterO(double left) {
    const Vertex centre{left + 2.2, 2.5};
    return Letter{superellipse(centre, 2.2, 2.58, 26), {superellipse(centre, 1.1, 1.5, 26)}};
}

// An R whose bowl stops short of the stem, so its counter opens downwards.
Letter letterR(double left) {
    const Vertex bowlCentre{2.05, 3.62};
    Loop outline{{0, 0}, {1.05, 0}, {1.05, 4.02}};
    appendArc(outline, bowlCentre, 0.4, 90, -90, 8);
    outline.insert(outline.end(), {{1.55, 3.22}, {1.55, 2.24}, {1.92, 2.24}, {2.5, 0}, {3.6, 0}});
    appendArc(outline, bowlCentre, 1.38, -50, 90, 13);
    outline.push_back({0, 5});
    return Letter{shifted(outline, left), {}};
}

Letter letterN(double left) {
    return Letter{shifted({{0, 0}, {1.05, 0}, {1.05, 3.3}, {3.15, 0}, {4.2, 0}, {4.2, 5}, {3.15, 5}, {3.15, 1.7},
                           {1.05, 5}, {0, 5}},
                          left),
                  {}};
}

[[noreturn]] void fail(const std::string &message) {
    std::fprintf(stderr, "MakeLogo: %s\n", message.c_str());
    std::exit(1);
}

// Every loop of every letter, outlines counter-clockwise and holes clockwise.
std::vector<Loop> loopsOf(const std::vector<Letter> &letters) {
    const auto oriented = [](Loop loop, bool counterClockwise) {
        if ((signedArea(loop) > 0) != counterClockwise) {
            std::reverse(loop.begin(), loop.end());
        }
        return loop;
    };
    std::vector<Loop> loops;
    for (const Letter &letter : letters) {
        loops.push_back(oriented(letter.outline, true));
        for (const Loop &hole : letter.holes) {
            loops.push_back(oriented(hole, false));
        }
    }
    return loops;
}

// Maps the letters' extent onto the logo's box.
void fitToBox(std::vector<Letter> &letters) {
    double left = 1e9, right = -1e9, bottom = 1e9, top = -1e9;
    for (const Loop &loop : loopsOf(letters)) {
        for (const Vertex &v : loop) {
            left = std::min(left, v.x);
            right = std::max(right, v.x);
            bottom = std::min(bottom, v.y);
            top = std::max(top, v.y);
        }
    }
    const auto place = [&](Vertex &v) {
        v.x = boxLeft + (v.x - left) * (boxRight - boxLeft) / (right - left);
        v.y = boxBottom + (v.y - bottom) * (boxTop - boxBottom) / (top - bottom);
    };
    for (Letter &letter : letters) {
        for (Vertex &v : letter.outline) {
            place(v);
        }
        for (Loop &hole : letter.holes) {
            for (Vertex &v : hole) {
                place(v);
            }
        }
    }
}

// Collects the OBJ text: each distinct corner once as a "v" line, then the
// triangles as "f" lines of 1-based vertex numbers.
class ObjBuilder {
public:
    int vertex(const Vertex &v, double y) {
        const Key key{static_cast<float>(v.x), static_cast<float>(y), static_cast<float>(v.y)};
        const auto found = indices.find(key);
        if (found != indices.end()) {
            return found->second;
        }
        const int index = static_cast<int>(indices.size()) + 1;
        indices.emplace(key, index);
        char line[96];
        std::snprintf(line, sizeof(line), "v %.9g %.9g %.9g\n", key[0], key[1], key[2]);
        vertexLines += line;
        return index;
    }

    void face(int a, int b, int c) {
        faceLines += "f " + std::to_string(a) + " " + std::to_string(b) + " " + std::to_string(c) + "\n";
        ++faceCount;
    }

    int faceTotal() const { return faceCount; }
    std::string contents() const { return vertexLines + faceLines; }

private:
    using Key = std::array<float, 3>;

    std::map<Key, int> indices;
    std::string vertexLines = "# VORN logo, extruded from y = 0 to y = -5. Made by tools/assetmakers/MakeLogo.\n";
    std::string faceLines;
    int faceCount = 0;
};

// The x-z triangles of the caps. Counter-clockwise in (x, z) means the normal
// points to -y, which is right for the y = -5 cap; the y = 0 cap is written
// with the corners reversed.
std::vector<EarClipper::Triangle> capTrianglesOf(const std::vector<Letter> &letters) {
    std::vector<EarClipper::Triangle> triangles;
    for (const Letter &letter : letters) {
        const std::vector<EarClipper::Triangle> part = EarClipper::triangulate(letter.outline, letter.holes);
        double area = std::abs(signedArea(letter.outline));
        for (const Loop &hole : letter.holes) {
            area -= std::abs(signedArea(hole));
        }
        double covered = 0;
        for (const EarClipper::Triangle &t : part) {
            const double twice = signedArea({t.corners[0], t.corners[1], t.corners[2]});
            if (twice <= 0) {
                fail("triangulation produced a flat or clockwise triangle");
            }
            covered += twice;
        }
        if (std::abs(covered - area) > 1e-9 * area) {
            fail("triangles do not cover the letter exactly");
        }
        triangles.insert(triangles.end(), part.begin(), part.end());
    }
    return triangles;
}

}  // namespace

int main(int argc, char **argv) {
    if (argc != 2) {
        fail("usage: MakeLogo <output.obj>");
    }
    std::vector<Letter> letters{letterV(0), letterO(5.0), letterR(10.0), letterN(15.0)};
    fitToBox(letters);

    int edges = 0;
    for (const Loop &loop : loopsOf(letters)) {
        edges += static_cast<int>(loop.size());
    }
    if (edges != edgesInAll) {
        fail("outlines have " + std::to_string(edges) + " edges, expected " + std::to_string(edgesInAll));
    }
    const std::vector<EarClipper::Triangle> cap = capTrianglesOf(letters);
    if (static_cast<int>(cap.size()) != capTriangles) {
        fail("caps have " + std::to_string(cap.size()) + " triangles, expected " + std::to_string(capTriangles));
    }

    ObjBuilder obj;
    for (const EarClipper::Triangle &t : cap) {
        obj.face(obj.vertex(t.corners[0], capTop), obj.vertex(t.corners[2], capTop), obj.vertex(t.corners[1], capTop));
    }
    for (const EarClipper::Triangle &t : cap) {
        obj.face(obj.vertex(t.corners[0], capBottom), obj.vertex(t.corners[1], capBottom),
                 obj.vertex(t.corners[2], capBottom));
    }
    // Walls: outlines run counter-clockwise and holes clockwise in (x, z), so
    // for an edge a -> b the solid lies on its left and the wall faces right.
    for (const Loop &loop : loopsOf(letters)) {
        for (std::size_t i = 0; i < loop.size(); ++i) {
            const Vertex &a = loop[i];
            const Vertex &b = loop[(i + 1) % loop.size()];
            const int aTop = obj.vertex(a, capTop), bTop = obj.vertex(b, capTop);
            const int aBottom = obj.vertex(a, capBottom), bBottom = obj.vertex(b, capBottom);
            obj.face(aBottom, bTop, bBottom);
            obj.face(aBottom, aTop, bTop);
        }
    }

    FILE *file = std::fopen(argv[1], "w");
    if (file == nullptr) {
        fail(std::string("cannot write ") + argv[1]);
    }
    std::fputs(obj.contents().c_str(), file);
    std::fclose(file);
    std::printf("%d triangles\n", obj.faceTotal());
    return 0;
}
