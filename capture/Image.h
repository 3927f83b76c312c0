#pragma once

#include <cstdint>
#include <vector>

// An RGB picture, 8 bits a channel, top row first.
struct Image {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgb;

    std::size_t rowBytes() const { return std::size_t(width) * 3; }
};
