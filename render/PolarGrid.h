#pragma once

#include <cstdint>
#include <vector>

#include "render/GridVertex.h"

// Sine and cosine of the sampled angles, shared by every grid. Each build
// refills them from the first entry.
extern std::vector<float> sineTable;
extern std::vector<float> cosineTable;

// A flat disc of concentric rings around the origin in the plane z = 0, ring k
// at radius k, drawn as one textured triangle list. build computes the vertex
// list once; draw only replays it.
class PolarGrid {
public:
    // Samples one and a half turns into the shared tables and replaces the
    // vertex list: a centre fan of segments triangles, then staggered bands
    // out to radius rings + 1. Throws std::invalid_argument, leaving the grid
    // and the tables untouched, when segments is 0, or below 32 with two or
    // more rings (the bands run 31 samples past a full turn).
    void build(std::uint32_t rings, std::uint32_t segments);

    // Appends the vertex at radius ring and at sample index of the tables.
    // index must be below the length of the tables.
    void emitVertex(std::uint32_t ring, std::uint32_t index);

    // Sends the vertex list as triangles with the caller's current GL state.
    void draw() const;

private:
    std::uint32_t rings = 0;
    std::uint32_t segments = 0;
    std::vector<GridVertex> vertices;
};
