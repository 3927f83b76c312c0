#pragma once

#include <vector>

// Triangulates a simple polygon with optional holes by ear clipping. Holes are
// first joined to the outline by bridge edges, which turns the region into one
// weakly simple polygon. The outline may be given in either turning direction;
// triangles come out counter-clockwise (x right, y up).
class EarClipper {
public:
    struct Vertex {
        double x = 0;
        double y = 0;
    };
    struct Triangle {
        Vertex corners[3];
    };
    using Loop = std::vector<Vertex>;

    static std::vector<Triangle> triangulate(const Loop &outline, const std::vector<Loop> &holes);

private:
    static Loop bridgeHole(const Loop &polygon, const Loop &hole);
    static std::vector<Triangle> clipEars(const Loop &polygon);
};

double signedArea(const EarClipper::Loop &loop);
