#pragma once

#include <cstdint>

// A small fixed pseudo-random sequence so that every maker gives the same
// output on every run and every machine.
class Random {
public:
    explicit Random(std::uint32_t seed) : state(seed) {}

    // Uniform in [0, 1).
    float next() {
        state = state * 1664525u + 1013904223u;
        return static_cast<float>(state >> 8) / 16777216.0f;
    }

    float between(float low, float high) { return low + (high - low) * next(); }

    int below(int limit) { return static_cast<int>(next() * static_cast<float>(limit)); }

private:
    std::uint32_t state;
};
