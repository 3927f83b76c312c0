// Makes the night sky behind the grid scene: violet and blue clouds of gas
// on near black, with scattered tiny stars. The cloud brightness is scaled so
// the whole picture averages the dark violet the scene is lit for.

#include "tools/assetmakers/Random.h"
#include "tools/assetmakers/SavePicture.h"
#include "tools/assetmakers/ValueNoise.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

namespace {

constexpr int edge = 256;
constexpr int starCount = 420;
constexpr std::array<float, 3> targetAverage{12, 0.8f, 18};

using Rgb = std::array<float, 3>;
using Layer = std::vector<Rgb>;

Rgb operator+(const Rgb &a, const Rgb &b) {
    return {a[0] + b[0], a[1] + b[1], a[2] + b[2]};
}

Rgb operator*(const Rgb &a, float s) {
    return {a[0] * s, a[1] * s, a[2] * s};
}

// Two warped fractal cloud fields, one violet and one blue, thinned by a dark
// dust field so the clouds break into shapes instead of a haze.
Layer clouds() {
    const ValueNoise warpX(64, 11), warpY(64, 23), violetField(64, 37), blueField(64, 41), dustField(64, 53);
    const Rgb violet{170, 40, 255};
    const Rgb blue{40, 70, 255};
    const Rgb glow{255, 170, 255};
    Layer layer(edge * edge);
    for (int y = 0; y < edge; ++y) {
        for (int x = 0; x < edge; ++x) {
            const float u = x / 64.0f, v = y / 64.0f;
            const float wx = warpX.fractal(u, v, 4) - 0.5f, wy = warpY.fractal(u, v, 4) - 0.5f;
            const float su = u + 2.2f * wx, sv = v + 2.2f * wy;
            const float violetDensity = std::pow(std::max(0.0f, violetField.fractal(su, sv, 6, 0.55f) - 0.38f), 2.2f);
            const float blueDensity =
                std::pow(std::max(0.0f, blueField.fractal(su * 1.3f + 5, sv * 1.3f, 6, 0.55f) - 0.42f), 2.0f);
            const float dust = std::clamp((dustField.fractal(u * 2, v * 2, 5) - 0.35f) * 2.5f, 0.0f, 1.0f);
            const float core = std::pow(violetDensity * 3.0f, 3.0f);
            layer[y * edge + x] = (violet * violetDensity + blue * blueDensity + glow * core) * dust;
        }
    }
    return layer;
}

void addStar(Layer &layer, float x, float y, const Rgb &colour, float radius) {
    const int reach = static_cast<int>(std::ceil(radius * 3));
    for (int dy = -reach; dy <= reach; ++dy) {
        for (int dx = -reach; dx <= reach; ++dx) {
            const int px = static_cast<int>(x) + dx, py = static_cast<int>(y) + dy;
            if (px < 0 || py < 0 || px >= edge || py >= edge) {
                continue;
            }
            const float distance = std::hypot(px + 0.5f - x, py + 0.5f - y);
            const float weight = std::exp(-distance * distance / (2 * radius * radius));
            layer[py * edge + px] = layer[py * edge + px] + colour * weight;
        }
    }
}

Layer stars() {
    Random random(2024);
    Layer layer(edge * edge, Rgb{0, 0, 0});
    for (int i = 0; i < starCount; ++i) {
        const float x = random.between(0, edge), y = random.between(0, edge);
        const float brightness = std::pow(random.next(), 3.0f) * 220 + 35;
        const float tint = random.next();
        const Rgb colour{brightness * (0.8f + 0.2f * tint), brightness * 0.8f, brightness};
        const bool large = random.next() < 0.04f;
        addStar(layer, x, y, colour, large ? 0.9f : 0.35f);
    }
    return layer;
}

Rgb average(const Layer &layer) {
    Rgb sum{0, 0, 0};
    for (const Rgb &pixel : layer) {
        for (int c = 0; c < 3; ++c) {
            sum[c] += std::min(pixel[c], 255.0f);
        }
    }
    return sum * (1.0f / layer.size());
}

}  // namespace

int main(int argc, char **argv) {
    const std::string path = outputPathArgument(argc, argv);
    Layer sky = clouds();
    const Layer specks = stars();
    const Rgb speckAverage = average(specks);
    // Scale each channel of the clouds so clouds and stars together meet the
    // target average; repeated because bright cores clip at 255.
    for (int round = 0; round < 8; ++round) {
        const Rgb current = average(sky);
        for (Rgb &pixel : sky) {
            for (int c = 0; c < 3; ++c) {
                const float wanted = std::max(0.1f, targetAverage[c] - speckAverage[c]);
                pixel[c] = std::min(pixel[c] * wanted / std::max(current[c], 1e-6f), 255.0f);
            }
        }
    }
    RgbaPicture picture{edge, edge, {}};
    for (int i = 0; i < edge * edge; ++i) {
        for (int c = 0; c < 3; ++c) {
            picture.pixels.push_back(static_cast<std::uint8_t>(std::lround(std::clamp(sky[i][c] + specks[i][c], 0.0f, 255.0f))));
        }
        picture.pixels.push_back(255);
    }
    savePicture(picture, path);
    return 0;
}
