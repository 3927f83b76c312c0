#include "tools/assetmakers/ValueNoise.h"

#include "tools/assetmakers/Random.h"

#include <cmath>

namespace {

float smooth(float t) {
    return t * t * t * (t * (t * 6 - 15) + 10);
}

}  // namespace

ValueNoise::ValueNoise(int period, std::uint32_t seed) : period(period) {
    Random random(seed);
    values.resize(static_cast<std::size_t>(period) * period);
    for (float &value : values) {
        value = random.next();
    }
}

float ValueNoise::lattice(int x, int y) const {
    x = ((x % period) + period) % period;
    y = ((y % period) + period) % period;
    return values[static_cast<std::size_t>(y) * period + x];
}

float ValueNoise::at(float x, float y) const {
    const float fx = std::floor(x), fy = std::floor(y);
    const int ix = static_cast<int>(fx), iy = static_cast<int>(fy);
    const float tx = smooth(x - fx), ty = smooth(y - fy);
    const float top = lattice(ix, iy) + (lattice(ix + 1, iy) - lattice(ix, iy)) * tx;
    const float bottom = lattice(ix, iy + 1) + (lattice(ix + 1, iy + 1) - lattice(ix, iy + 1)) * tx;
    return top + (bottom - top) * ty;
}

float ValueNoise::fractal(float x, float y, int octaves, float gain) const {
    float sum = 0, weight = 1, total = 0;
    for (int octave = 0; octave < octaves; ++octave) {
        sum += at(x, y) * weight;
        total += weight;
        weight *= gain;
        x *= 2;
        y *= 2;
    }
    return sum / total;
}
