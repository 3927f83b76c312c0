// Makes the particle dot: a 16 x 16 white image whose alpha falls smoothly
// from 255 at pixel (8, 8) to 0 at a distance of 8 pixels.

#include "tools/assetmakers/SavePicture.h"

#include <cmath>

namespace {

constexpr int edge = 16;
constexpr int centre = 8;

// Alpha at whole-pixel distances 0 to 8; between them the curve is
// interpolated with a smooth cubic so it has no visible steps.
constexpr float alphaAtDistance[] = {255, 233, 203, 167, 127, 88, 51, 21, 0};
constexpr int lastDistance = 8;

float sampleCurve(int index) {
    if (index < 0) {
        return alphaAtDistance[-index];
    }
    if (index > lastDistance) {
        return 0;
    }
    return alphaAtDistance[index];
}

float alphaFor(float distance) {
    if (distance >= lastDistance) {
        return 0;
    }
    const int index = static_cast<int>(distance);
    const float t = distance - index;
    const float p0 = sampleCurve(index - 1), p1 = sampleCurve(index), p2 = sampleCurve(index + 1),
                p3 = sampleCurve(index + 2);
    // Catmull-Rom through the tabulated points.
    return 0.5f * (2 * p1 + (-p0 + p2) * t + (2 * p0 - 5 * p1 + 4 * p2 - p3) * t * t +
                   (-p0 + 3 * p1 - 3 * p2 + p3) * t * t * t);
}

}  // namespace

int main(int argc, char **argv) {
    const std::string path = outputPathArgument(argc, argv);
    RgbaPicture picture{edge, edge, {}};
    for (int y = 0; y < edge; ++y) {
        for (int x = 0; x < edge; ++x) {
            const float distance = std::hypot(static_cast<float>(x - centre), static_cast<float>(y - centre));
            const float alpha = std::fmax(0.0f, std::fmin(255.0f, alphaFor(distance)));
            picture.pixels.insert(picture.pixels.end(),
                                  {255, 255, 255, static_cast<std::uint8_t>(std::lround(alpha))});
        }
    }
    savePicture(picture, path);
    return 0;
}
