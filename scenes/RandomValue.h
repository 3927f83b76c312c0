#pragma once

#include <cstdint>

// The program's one pseudo-random source: a 15-bit linear congruential
// generator (the classic C library rand) that starts from state 1 on every
// run and is never reseeded, so every run shows the same particle clouds.
class RandomGenerator {
public:
    // A value from 0 to 32767.
    std::uint32_t next() {
        state = state * 214013u + 2531011u;
        return (state >> 16) & 0x7FFFu;
    }

private:
    std::uint32_t state = 1;
};

// The next value of the program-wide generator.
std::uint32_t randomValue();
