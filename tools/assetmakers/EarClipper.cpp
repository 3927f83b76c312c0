#include "tools/assetmakers/EarClipper.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <stdexcept>

namespace {

using Vertex = EarClipper::Vertex;
using Loop = EarClipper::Loop;

constexpr double epsilon = 1e-12;

double cross(const Vertex &a, const Vertex &b, const Vertex &c) {
    return (b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x);
}

bool samePlace(const Vertex &a, const Vertex &b) {
    return a.x == b.x && a.y == b.y;
}

// True when p lies inside triangle abc (counter-clockwise) or on its edges.
bool insideOrOnTriangle(const Vertex &p, const Vertex &a, const Vertex &b, const Vertex &c) {
    return cross(a, b, p) >= -epsilon && cross(b, c, p) >= -epsilon && cross(c, a, p) >= -epsilon;
}

Loop withOrientation(Loop loop, bool counterClockwise) {
    if ((signedArea(loop) > 0) != counterClockwise) {
        std::reverse(loop.begin(), loop.end());
    }
    return loop;
}

std::size_t rightmost(const Loop &loop) {
    std::size_t best = 0;
    for (std::size_t i = 1; i < loop.size(); ++i) {
        if (loop[i].x > loop[best].x) {
            best = i;
        }
    }
    return best;
}

}  // namespace

double signedArea(const EarClipper::Loop &loop) {
    double twice = 0;
    for (std::size_t i = 0; i < loop.size(); ++i) {
        const Vertex &a = loop[i];
        const Vertex &b = loop[(i + 1) % loop.size()];
        twice += a.x * b.y - b.x * a.y;
    }
    return twice / 2;
}

std::vector<EarClipper::Triangle> EarClipper::triangulate(const Loop &outline, const std::vector<Loop> &holes) {
    Loop polygon = withOrientation(outline, true);
    std::vector<Loop> orderedHoles;
    for (const Loop &hole : holes) {
        orderedHoles.push_back(withOrientation(hole, false));
    }
    // Bridging the hole that reaches furthest right first keeps later bridges
    // from crossing earlier ones.
    std::sort(orderedHoles.begin(), orderedHoles.end(), [](const Loop &a, const Loop &b) {
        return a[rightmost(a)].x > b[rightmost(b)].x;
    });
    for (const Loop &hole : orderedHoles) {
        polygon = bridgeHole(polygon, hole);
    }
    return clipEars(polygon);
}

// Joins the hole to the polygon with a bridge from the hole's rightmost vertex
// M to a polygon vertex P that M can see: cast a ray from M towards +x, take
// the nearest edge it hits, and pick that edge's right end, or, if reflex
// vertices lie in the triangle between, the one closest in angle to the ray.
EarClipper::Loop EarClipper::bridgeHole(const Loop &polygon, const Loop &hole) {
    const std::size_t holeStart = rightmost(hole);
    const Vertex m = hole[holeStart];
    double nearestX = std::numeric_limits<double>::infinity();
    std::size_t candidate = polygon.size();
    for (std::size_t i = 0; i < polygon.size(); ++i) {
        const Vertex &a = polygon[i];
        const Vertex &b = polygon[(i + 1) % polygon.size()];
        if ((a.y <= m.y) == (b.y <= m.y) || a.y == b.y) {
            continue;
        }
        const double x = a.x + (m.y - a.y) / (b.y - a.y) * (b.x - a.x);
        if (x >= m.x && x < nearestX) {
            nearestX = x;
            candidate = a.x > b.x ? i : (i + 1) % polygon.size();
        }
    }
    if (candidate == polygon.size()) {
        throw std::runtime_error("hole is not inside the outline");
    }
    const Vertex hit{nearestX, m.y};
    const Vertex p = polygon[candidate];
    double bestAngle = std::numeric_limits<double>::infinity();
    for (std::size_t i = 0; i < polygon.size(); ++i) {
        const Vertex &previous = polygon[(i + polygon.size() - 1) % polygon.size()];
        const Vertex &current = polygon[i];
        const Vertex &next = polygon[(i + 1) % polygon.size()];
        const bool reflex = cross(previous, current, next) < 0;
        const bool above = p.y > m.y;
        const Vertex &a = m;
        const Vertex &b = above ? hit : p;
        const Vertex &c = above ? p : hit;
        if (i == candidate || !reflex || !insideOrOnTriangle(current, a, b, c)) {
            continue;
        }
        const double angle = std::atan2(std::abs(current.y - m.y), current.x - m.x);
        if (angle < bestAngle) {
            bestAngle = angle;
            candidate = i;
        }
    }
    Loop merged(polygon.begin(), polygon.begin() + static_cast<long>(candidate) + 1);
    for (std::size_t k = 0; k <= hole.size(); ++k) {
        merged.push_back(hole[(holeStart + k) % hole.size()]);
    }
    merged.insert(merged.end(), polygon.begin() + static_cast<long>(candidate), polygon.end());
    return merged;
}

std::vector<EarClipper::Triangle> EarClipper::clipEars(const Loop &polygon) {
    std::vector<std::size_t> remaining(polygon.size());
    for (std::size_t i = 0; i < remaining.size(); ++i) {
        remaining[i] = i;
    }
    std::vector<Triangle> triangles;
    while (remaining.size() > 3) {
        bool clipped = false;
        for (std::size_t i = 0; i < remaining.size() && !clipped; ++i) {
            const Vertex &a = polygon[remaining[(i + remaining.size() - 1) % remaining.size()]];
            const Vertex &b = polygon[remaining[i]];
            const Vertex &c = polygon[remaining[(i + 1) % remaining.size()]];
            if (cross(a, b, c) <= epsilon) {
                continue;
            }
            bool blocked = false;
            for (const std::size_t other : remaining) {
                const Vertex &p = polygon[other];
                if (!samePlace(p, a) && !samePlace(p, b) && !samePlace(p, c) && insideOrOnTriangle(p, a, b, c)) {
                    blocked = true;
                    break;
                }
            }
            if (!blocked) {
                triangles.push_back(Triangle{{a, b, c}});
                remaining.erase(remaining.begin() + static_cast<long>(i));
                clipped = true;
            }
        }
        if (!clipped) {
            throw std::runtime_error("polygon has no ear left; is it self-intersecting?");
        }
    }
    triangles.push_back(Triangle{{polygon[remaining[0]], polygon[remaining[1]], polygon[remaining[2]]}});
    return triangles;
}
