// The mastering steps: nothing over the limiter's threshold, no gain steps
// that would click, fades that start and end in silence.

#include "tools/soundtrack/Master.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace {

const float rate = 1000.0f;

// A quiet tone with two loud bursts, one in the middle and one at the end.
StereoBuffer tonesWithBursts() {
    StereoBuffer buffer(3000);
    for (std::size_t i = 0; i < buffer.frames(); ++i) {
        const bool burst = (i >= 1500 && i < 1520) || i >= 2990;
        const float level = burst ? 3.0f : 0.3f;
        buffer.left[i] = level * std::sin(0.3f * static_cast<float>(i));
        buffer.right[i] = -0.5f * buffer.left[i];
    }
    return buffer;
}

}  // namespace

TEST(Limiter, KeepsEverySampleUnderTheThresholdWithoutGainSteps) {
    const StereoBuffer original = tonesWithBursts();
    StereoBuffer limited = original;
    limitPeaks(limited, 1.0f, rate, 0.01f, 0.1f);

    // The look-ahead of 10 samples lets the gain move at most 0.1 per sample.
    float previousGain = 1.0f;
    std::size_t previousIndex = 0;
    for (std::size_t i = 0; i < limited.frames(); ++i) {
        EXPECT_LE(std::fabs(limited.left[i]), 1.0f) << i;
        EXPECT_LE(std::fabs(limited.right[i]), 1.0f) << i;
        if (std::fabs(original.left[i]) > 0.05f) {
            const float gain = limited.left[i] / original.left[i];
            EXPECT_NEAR(limited.right[i], gain * original.right[i], 1e-6f) << "both channels share one gain";
            EXPECT_LE(std::fabs(gain - previousGain), 0.1001f * (i - previousIndex)) << "gain step at " << i;
            previousGain = gain;
            previousIndex = i;
        }
    }
    // Far from the bursts the quiet tone passes untouched.
    EXPECT_FLOAT_EQ(limited.left[1000], original.left[1000]);
    EXPECT_FLOAT_EQ(limited.left[2500], original.left[2500]);
    // The burst's loudest sample comes down to the threshold, not below it.
    float burstPeak = 0.0f;
    for (std::size_t i = 1500; i < 1520; ++i) {
        burstPeak = std::max(burstPeak, std::fabs(limited.left[i]));
    }
    EXPECT_NEAR(burstPeak, 1.0f, 1e-5f);
}

TEST(Fades, StartAndEndInSilenceAndLeaveTheMiddleAlone) {
    StereoBuffer buffer(2000);
    std::fill(buffer.left.begin(), buffer.left.end(), 0.5f);
    std::fill(buffer.right.begin(), buffer.right.end(), -0.5f);
    applyFades(buffer, rate, 1.5);

    EXPECT_FLOAT_EQ(buffer.left[0], 0.0f);
    EXPECT_FLOAT_EQ(buffer.left[1000], 0.5f);
    EXPECT_FLOAT_EQ(buffer.right[1499], -0.5f);
    EXPECT_NEAR(buffer.left[1750], 0.25f, 0.01f);
    EXPECT_LT(std::fabs(buffer.right[1999]), 0.001f);
    for (std::size_t i = 1501; i < buffer.frames(); ++i) {
        EXPECT_LT(buffer.left[i], buffer.left[i - 1]) << "the fade-out only falls";
    }
}

TEST(Normalisation, ScalesTheLargestSampleOfEitherChannelToThePeak) {
    StereoBuffer buffer(3);
    buffer.left = {0.1f, -0.2f, 0.3f};
    buffer.right = {0.0f, -0.6f, 0.15f};
    normalisePeak(buffer, 0.9f);
    EXPECT_FLOAT_EQ(buffer.right[1], -0.9f);
    EXPECT_FLOAT_EQ(buffer.left[2], 0.45f);
}
