#include "tools/soundtrack/PingPongDelay.h"

#include <cmath>
#include <vector>

namespace {

constexpr float repeatDarkening = 0.35f;  // one-pole lowpass coefficient in the feedback path

}  // namespace

PingPongDelay::PingPongDelay(float delaySeconds, float feedback, float sampleRate)
    : delayFrames(static_cast<std::size_t>(std::lround(delaySeconds * sampleRate))), feedback(feedback) {}

StereoBuffer PingPongDelay::process(const StereoBuffer& input) const {
    StereoBuffer output(input.frames());
    std::vector<float> lineLeft(delayFrames, 0.0f);
    std::vector<float> lineRight(delayFrames, 0.0f);
    float darkened = 0.0f;
    std::size_t index = 0;
    for (std::size_t i = 0; i < input.frames(); ++i) {
        const float echoLeft = lineLeft[index];
        const float echoRight = lineRight[index];
        darkened += (echoRight - darkened) * (1.0f - repeatDarkening);
        lineLeft[index] = 0.5f * (input.left[i] + input.right[i]) + darkened * feedback;
        lineRight[index] = echoLeft * feedback;
        index = index + 1 == delayFrames ? 0 : index + 1;
        output.left[i] = echoLeft;
        output.right[i] = echoRight;
    }
    return output;
}
