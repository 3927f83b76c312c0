#pragma once

#include "tools/soundtrack/Score.h"
#include "tools/soundtrack/StereoBuffer.h"

// Turns a score into a finished stereo track: plays every note into the dry,
// reverb and echo buses, runs the effects, and masters the sum (DC removal,
// gentle peak limiting, fades, normalisation a little below full scale).
class Synthesizer {
public:
    explicit Synthesizer(float sampleRate);

    StereoBuffer render(const Score& score) const;

private:
    float sampleRate;
};
