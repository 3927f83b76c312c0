#include "assets/Assets.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <set>
#include <utility>
#include <vector>

namespace {

using Vec3 = std::array<float, 3>;

struct Triangle {
    Vec3 corners[3];
};

std::vector<Triangle> triangles() {
    std::vector<Triangle> result(logoMesh.triangleCount);
    for (int t = 0; t < logoMesh.triangleCount; ++t) {
        for (int k = 0; k < 3; ++k) {
            for (int axis = 0; axis < 3; ++axis) {
                result[t].corners[k][axis] = logoMesh.vertices[t * 9 + k * 3 + axis];
            }
        }
    }
    return result;
}

enum class Part { topCap, bottomCap, wall };

Part partOf(const Triangle &t) {
    const bool allTop = t.corners[0][1] == 0 && t.corners[1][1] == 0 && t.corners[2][1] == 0;
    const bool allBottom = t.corners[0][1] == -5 && t.corners[1][1] == -5 && t.corners[2][1] == -5;
    return allTop ? Part::topCap : allBottom ? Part::bottomCap : Part::wall;
}

Vec3 normalOf(const Triangle &t) {
    const Vec3 &a = t.corners[0], &b = t.corners[1], &c = t.corners[2];
    const double ux = b[0] - a[0], uy = b[1] - a[1], uz = b[2] - a[2];
    const double vx = c[0] - a[0], vy = c[1] - a[1], vz = c[2] - a[2];
    return Vec3{static_cast<float>(uy * vz - uz * vy), static_cast<float>(uz * vx - ux * vz),
                static_cast<float>(ux * vy - uy * vx)};
}

double roundedTo4(double value) {
    return std::round(value * 10000) / 10000;
}

TEST(LogoMesh, Has392TrianglesSplitIntoTwoCapsAndWalls) {
    ASSERT_EQ(logoMesh.triangleCount, 392);
    std::map<Part, int> counts;
    for (const Triangle &t : triangles()) {
        ++counts[partOf(t)];
        for (const Vec3 &corner : t.corners) {
            EXPECT_TRUE(corner[1] == 0 || corner[1] == -5) << "y = " << corner[1];
        }
    }
    EXPECT_EQ(counts[Part::topCap], 95);
    EXPECT_EQ(counts[Part::bottomCap], 95);
    EXPECT_EQ(counts[Part::wall], 202);
}

TEST(LogoMesh, CapsFaceOutwardAndWallsStandUpright) {
    for (const Triangle &t : triangles()) {
        const Vec3 normal = normalOf(t);
        const double length = std::sqrt(normal[0] * normal[0] + normal[1] * normal[1] + normal[2] * normal[2]);
        ASSERT_GT(length, 0) << "degenerate triangle";
        switch (partOf(t)) {
        case Part::topCap:
            EXPECT_GT(normal[1], 0) << "cap at y = 0 is not counter-clockwise seen from +y";
            break;
        case Part::bottomCap:
            EXPECT_LT(normal[1], 0) << "cap at y = -5 is not counter-clockwise seen from -y";
            break;
        case Part::wall:
            EXPECT_NEAR(normal[1] / length, 0, 1e-6);
            break;
        }
    }
}

TEST(LogoMesh, FillsItsBoundingBoxToFourDecimals) {
    double low[3] = {1e9, 1e9, 1e9}, high[3] = {-1e9, -1e9, -1e9};
    for (const Triangle &t : triangles()) {
        for (const Vec3 &corner : t.corners) {
            for (int axis = 0; axis < 3; ++axis) {
                low[axis] = std::min(low[axis], static_cast<double>(corner[axis]));
                high[axis] = std::max(high[axis], static_cast<double>(corner[axis]));
            }
        }
    }
    EXPECT_EQ(roundedTo4(low[0]), -11.5043);
    EXPECT_EQ(roundedTo4(high[0]), 8.6057);
    EXPECT_EQ(low[1], -5.0);
    EXPECT_EQ(high[1], 0.0);
    EXPECT_EQ(roundedTo4(low[2]), -2.7974);
    EXPECT_EQ(roundedTo4(high[2]), 2.8557);
}

TEST(LogoMesh, IsAClosedSolidWithOutwardWinding) {
    // Every directed edge is matched by exactly one edge running the other
    // way, and the signed volume is the cap area times the depth of 5.
    std::map<std::pair<Vec3, Vec3>, int> directedEdges;
    double volume = 0, capArea = 0;
    for (const Triangle &t : triangles()) {
        for (int k = 0; k < 3; ++k) {
            ++directedEdges[{t.corners[k], t.corners[(k + 1) % 3]}];
        }
        const Vec3 &a = t.corners[0], &b = t.corners[1], &c = t.corners[2];
        volume += (a[0] * (double(b[1]) * c[2] - double(b[2]) * c[1]) - a[1] * (double(b[0]) * c[2] - double(b[2]) * c[0]) +
                   a[2] * (double(b[0]) * c[1] - double(b[1]) * c[0])) / 6;
        if (partOf(t) == Part::topCap) {
            capArea += normalOf(t)[1] / 2.0;
        }
    }
    for (const auto &[edge, count] : directedEdges) {
        EXPECT_EQ(count, 1);
        const auto reverse = directedEdges.find({edge.second, edge.first});
        EXPECT_TRUE(reverse != directedEdges.end() && reverse->second == 1) << "open or doubled edge";
    }
    EXPECT_GT(capArea, 0);
    EXPECT_NEAR(volume, capArea * 5, capArea * 5 * 1e-4);
}

TEST(LogoMesh, OutlineHas101EdgesAndThreeMorePiecesThanHoles) {
    // In the cap at y = 0 the outline edges are those used by one triangle
    // only; for a flat triangulated region, vertices - edges + faces equals
    // the number of pieces minus the number of holes.
    std::map<std::pair<Vec3, Vec3>, int> edgeUses;
    std::set<Vec3> vertices;
    int faces = 0;
    for (const Triangle &t : triangles()) {
        if (partOf(t) != Part::topCap) {
            continue;
        }
        ++faces;
        for (int k = 0; k < 3; ++k) {
            const Vec3 &a = t.corners[k], &b = t.corners[(k + 1) % 3];
            ++edgeUses[std::minmax(a, b)];
            vertices.insert(a);
        }
    }
    const int outlineEdges = static_cast<int>(
        std::count_if(edgeUses.begin(), edgeUses.end(), [](const auto &entry) { return entry.second == 1; }));
    EXPECT_EQ(outlineEdges, 101);
    EXPECT_EQ(static_cast<int>(vertices.size()) - static_cast<int>(edgeUses.size()) + faces, 3);
}

TEST(LogoMesh, FourLettersStandSideBySideAlongX) {
    // Join cap triangles that share a corner into pieces; the letters are four
    // pieces in separate spans of x, each about as tall as the whole logo.
    std::vector<Triangle> cap;
    for (const Triangle &t : triangles()) {
        if (partOf(t) == Part::topCap) {
            cap.push_back(t);
        }
    }
    std::vector<int> piece(cap.size());
    for (std::size_t i = 0; i < cap.size(); ++i) {
        piece[i] = static_cast<int>(i);
    }
    const auto root = [&piece](int i) {
        while (piece[i] != i) {
            i = piece[i];
        }
        return i;
    };
    std::map<Vec3, int> firstUser;
    for (std::size_t i = 0; i < cap.size(); ++i) {
        for (const Vec3 &corner : cap[i].corners) {
            const auto [found, inserted] = firstUser.emplace(corner, static_cast<int>(i));
            if (!inserted) {
                piece[root(static_cast<int>(i))] = root(found->second);
            }
        }
    }
    struct Span {
        float left = 1e9f, right = -1e9f, bottom = 1e9f, top = -1e9f;
    };
    std::map<int, Span> spans;
    for (std::size_t i = 0; i < cap.size(); ++i) {
        Span &span = spans[root(static_cast<int>(i))];
        for (const Vec3 &corner : cap[i].corners) {
            span.left = std::min(span.left, corner[0]);
            span.right = std::max(span.right, corner[0]);
            span.bottom = std::min(span.bottom, corner[2]);
            span.top = std::max(span.top, corner[2]);
        }
    }
    ASSERT_EQ(spans.size(), 4u);
    std::vector<Span> letters;
    for (const auto &entry : spans) {
        letters.push_back(entry.second);
    }
    std::sort(letters.begin(), letters.end(), [](const Span &a, const Span &b) { return a.left < b.left; });
    for (std::size_t i = 0; i < letters.size(); ++i) {
        EXPECT_GT(letters[i].top - letters[i].bottom, 0.95f * (2.8557f + 2.7974f)) << "letter " << i;
        if (i > 0) {
            EXPECT_LT(letters[i - 1].right, letters[i].left) << "letters " << i - 1 << " and " << i << " overlap";
        }
    }
}

}  // namespace
