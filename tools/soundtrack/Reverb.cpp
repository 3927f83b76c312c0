#include "tools/soundtrack/Reverb.h"

namespace {

// Delay lengths in samples at 44.1 kHz, mutually prime-ish to avoid ringing.
constexpr std::size_t combLengths[8] = {1116, 1188, 1277, 1356, 1422, 1491, 1557, 1617};
constexpr std::size_t allpassLengths[4] = {556, 441, 341, 225};
constexpr std::size_t stereoSpread = 23;
constexpr float inputGain = 0.015f;
constexpr float allpassFeedback = 0.5f;
// Keeps the recirculating values out of the denormal range in silent stretches.
constexpr float antiDenormal = 1.0e-20f;

}  // namespace

Reverb::Reverb(float roomSize, float damping) : feedback(0.7f + 0.28f * roomSize), damping(0.4f * damping) {
    for (const std::size_t length : combLengths) {
        left.combs.push_back({std::vector<float>(length, 0.0f)});
        right.combs.push_back({std::vector<float>(length + stereoSpread, 0.0f)});
    }
    for (const std::size_t length : allpassLengths) {
        left.allpasses.push_back({std::vector<float>(length, 0.0f)});
        right.allpasses.push_back({std::vector<float>(length + stereoSpread, 0.0f)});
    }
}

float Reverb::processChannel(Channel& channel, float input) const {
    float output = 0.0f;
    for (Comb& comb : channel.combs) {
        const float delayed = comb.buffer[comb.index];
        comb.lowpassed = delayed * (1.0f - damping) + comb.lowpassed * damping;
        comb.buffer[comb.index] = input + comb.lowpassed * feedback + antiDenormal;
        comb.index = comb.index + 1 == comb.buffer.size() ? 0 : comb.index + 1;
        output += delayed;
    }
    for (Allpass& allpass : channel.allpasses) {
        const float delayed = allpass.buffer[allpass.index];
        allpass.buffer[allpass.index] = output + delayed * allpassFeedback;
        allpass.index = allpass.index + 1 == allpass.buffer.size() ? 0 : allpass.index + 1;
        output = delayed - output;
    }
    return output;
}

StereoBuffer Reverb::process(const StereoBuffer& input) {
    StereoBuffer output(input.frames());
    for (std::size_t i = 0; i < input.frames(); ++i) {
        const float mono = (input.left[i] + input.right[i]) * inputGain;
        output.left[i] = processChannel(left, mono);
        output.right[i] = processChannel(right, mono);
    }
    return output;
}
