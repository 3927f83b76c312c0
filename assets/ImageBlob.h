#pragma once

#include <cstdint>

// A square RGBA image as it is compiled into the program: the edge length N,
// then N rows of N pixels (R, G, B, A bytes), row 0 first. The struct has
// exactly that layout: 4 + 4 * N * N bytes, no padding.
template <int Edge>
struct ImageBlob {
    std::int32_t edge;
    std::uint8_t pixels[Edge * Edge * 4];
};

static_assert(sizeof(ImageBlob<16>) == 1028);
static_assert(sizeof(ImageBlob<256>) == 262148);
