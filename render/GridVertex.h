#pragma once

// One vertex of a polar grid: position, three unused weights that are always
// 1, and the texture coordinates.
struct GridVertex {
    float x;
    float y;
    float z;
    float w1;
    float w2;
    float w3;
    float u;
    float v;
};

static_assert(sizeof(GridVertex) == 32);
