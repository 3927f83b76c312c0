#include "tools/soundtrack/Master.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

constexpr float dcCutoffHz = 10.0f;
constexpr float fadeInSeconds = 0.01f;

float peakOf(const StereoBuffer& buffer, std::size_t frame) {
    return std::max(std::fabs(buffer.left[frame]), std::fabs(buffer.right[frame]));
}

}  // namespace

void removeDcOffset(StereoBuffer& buffer, float sampleRate) {
    const float pole = std::exp(-6.2831853f * dcCutoffHz / sampleRate);
    for (std::vector<float>* channel : {&buffer.left, &buffer.right}) {
        float previousInput = 0.0f, previousOutput = 0.0f;
        for (float& sample : *channel) {
            const float output = sample - previousInput + pole * previousOutput;
            previousInput = sample;
            previousOutput = output;
            sample = output;
        }
    }
}

void applyFades(StereoBuffer& buffer, float sampleRate, double fadeStartSeconds) {
    const std::size_t fadeInFrames = static_cast<std::size_t>(fadeInSeconds * sampleRate);
    const std::size_t fadeOutStart = static_cast<std::size_t>(fadeStartSeconds * sampleRate);
    const std::size_t frames = buffer.frames();
    for (std::size_t i = 0; i < frames; ++i) {
        float gain = 1.0f;
        if (i < fadeInFrames) {
            gain = 0.5f - 0.5f * std::cos(3.14159265f * static_cast<float>(i) / fadeInFrames);
        }
        if (i >= fadeOutStart && frames > fadeOutStart) {
            const float progress = static_cast<float>(i - fadeOutStart) / static_cast<float>(frames - fadeOutStart);
            gain *= 0.5f + 0.5f * std::cos(3.14159265f * progress);
        }
        buffer.left[i] *= gain;
        buffer.right[i] *= gain;
    }
}

void normalisePeak(StereoBuffer& buffer, float peak) {
    float largest = 0.0f;
    for (std::size_t i = 0; i < buffer.frames(); ++i) {
        largest = std::max(largest, peakOf(buffer, i));
    }
    if (largest <= 0.0f) {
        return;
    }
    const float scale = peak / largest;
    for (std::size_t i = 0; i < buffer.frames(); ++i) {
        buffer.left[i] *= scale;
        buffer.right[i] *= scale;
    }
}

void limitPeaks(StereoBuffer& buffer, float threshold, float sampleRate, float lookAhead, float release) {
    const std::size_t frames = buffer.frames();
    if (frames == 0) {
        return;
    }
    std::vector<float> gain(frames);
    for (std::size_t i = 0; i < frames; ++i) {
        const float peak = peakOf(buffer, i);
        gain[i] = peak > threshold ? threshold / peak : 1.0f;
    }
    // Backwards: the gain may fall no faster than over the look-ahead time.
    const float attackStep = 1.0f / (lookAhead * sampleRate);
    for (std::size_t i = frames - 1; i > 0; --i) {
        gain[i - 1] = std::min(gain[i - 1], gain[i] + attackStep);
    }
    // Forwards: it may rise no faster than over the release time.
    const float releaseStep = 1.0f / (release * sampleRate);
    for (std::size_t i = 1; i < frames; ++i) {
        gain[i] = std::min(gain[i], gain[i - 1] + releaseStep);
    }
    for (std::size_t i = 0; i < frames; ++i) {
        buffer.left[i] *= gain[i];
        buffer.right[i] *= gain[i];
    }
}
