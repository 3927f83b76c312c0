#pragma once

#include <cstdint>

// A triangle list as it is compiled into the program: the triangle count T,
// then T triangles of three vertices of three floats (x, y, z). The struct has
// exactly that layout: 4 + 36 * T bytes.
template <int Triangles>
struct MeshBlob {
    std::int32_t triangleCount;
    float vertices[Triangles * 9];
};

static_assert(sizeof(MeshBlob<392>) == 14116);
