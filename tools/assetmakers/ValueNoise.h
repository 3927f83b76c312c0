#pragma once

#include <cstdint>
#include <vector>

// Smooth pseudo-random noise on a square lattice that repeats every `period`
// cells in both directions, so fields built from it can tile seamlessly.
class ValueNoise {
public:
    ValueNoise(int period, std::uint32_t seed);

    // Noise in [0, 1] at a point measured in lattice cells.
    float at(float x, float y) const;

    // Sum of octaves, each at twice the frequency and `gain` times the weight
    // of the one before; the result is scaled back into [0, 1].
    float fractal(float x, float y, int octaves, float gain = 0.5f) const;

private:
    float lattice(int x, int y) const;

    int period;
    std::vector<float> values;
};
