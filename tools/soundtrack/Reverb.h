#pragma once

#include "tools/soundtrack/StereoBuffer.h"

#include <vector>

// A plate-like stereo reverb: eight damped feedback comb filters in parallel
// and four allpass filters in series per channel, the right channel's delays
// slightly longer than the left's for width (Schroeder/Moorer design).
class Reverb {
public:
    Reverb(float roomSize, float damping);

    // Returns the reverberated (wet only) signal of the input.
    StereoBuffer process(const StereoBuffer& input);

private:
    struct Comb {
        std::vector<float> buffer;
        std::size_t index = 0;
        float lowpassed = 0.0f;
    };
    struct Allpass {
        std::vector<float> buffer;
        std::size_t index = 0;
    };
    struct Channel {
        std::vector<Comb> combs;
        std::vector<Allpass> allpasses;
    };

    float processChannel(Channel& channel, float input) const;

    float feedback;
    float damping;
    Channel left;
    Channel right;
};
