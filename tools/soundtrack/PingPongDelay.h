#pragma once

#include "tools/soundtrack/StereoBuffer.h"

// An echo that bounces between the left and right channels, each repeat
// quieter and darker than the one before.
class PingPongDelay {
public:
    PingPongDelay(float delaySeconds, float feedback, float sampleRate);

    // Returns the echoes (wet only) of the input.
    StereoBuffer process(const StereoBuffer& input) const;

private:
    std::size_t delayFrames;
    float feedback;
};
