#include "tools/soundtrack/NoteRenderer.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

constexpr float twoPi = 6.28318530718f;
constexpr int maxUnison = 8;
constexpr int filterUpdateInterval = 16;  // samples between cutoff recalculations

// A small deterministic generator for phases and noise.
class NoiseSource {
public:
    explicit NoiseSource(std::uint32_t seed) : state(seed * 2654435761u + 12345u) {}

    // Uniform in [-1, 1).
    float next() {
        state = state * 1664525u + 1013904223u;
        return static_cast<float>(state >> 8) * (2.0f / 16777216.0f) - 1.0f;
    }

private:
    std::uint32_t state;
};

// Band-limiting correction for a step discontinuity at phase 0 (polyBLEP).
float polyBlep(float phase, float increment) {
    if (phase < increment) {
        const float t = phase / increment;
        return t + t - t * t - 1.0f;
    }
    if (phase > 1.0f - increment) {
        const float t = (phase - 1.0f) / increment;
        return t * t + t + t + 1.0f;
    }
    return 0.0f;
}

float oscillator(Wave wave, float phase, float increment) {
    switch (wave) {
    case Wave::Sine:
        return std::sin(twoPi * phase);
    case Wave::Triangle:
        return 4.0f * std::fabs(phase - 0.5f) - 1.0f;
    case Wave::Saw:
        return 2.0f * phase - 1.0f - polyBlep(phase, increment);
    case Wave::Square: {
        const float shifted = phase < 0.5f ? phase + 0.5f : phase - 0.5f;
        return (phase < 0.5f ? 1.0f : -1.0f) + polyBlep(phase, increment) - polyBlep(shifted, increment);
    }
    case Wave::Noise:
        return 0.0f;
    }
    return 0.0f;
}

// Topology-preserving state-variable filter (one channel).
class StateVariableFilter {
public:
    void setCutoff(float cutoffHz, float resonance, float sampleRate) {
        const float limited = std::min(cutoffHz, 0.45f * sampleRate);
        const float g = std::tan(3.14159265f * limited / sampleRate);
        damping = 1.0f / resonance;
        a1 = 1.0f / (1.0f + g * (g + damping));
        a2 = g * a1;
        a3 = g * a2;
    }

    float process(float input, FilterMode mode) {
        const float v3 = input - ic2eq;
        const float v1 = a1 * ic1eq + a2 * v3;
        const float v2 = ic2eq + a2 * ic1eq + a3 * v3;
        ic1eq = 2.0f * v1 - ic1eq;
        ic2eq = 2.0f * v2 - ic2eq;
        switch (mode) {
        case FilterMode::LowPass:
            return v2;
        case FilterMode::BandPass:
            return v1;
        case FilterMode::HighPass:
            return input - damping * v1 - v2;
        }
        return v2;
    }

private:
    float a1 = 0.0f, a2 = 0.0f, a3 = 0.0f, damping = 1.0f;
    float ic1eq = 0.0f, ic2eq = 0.0f;
};

// Level of the amplitude envelope while the key is down, t seconds after the onset.
float heldLevel(const Envelope& envelope, float t) {
    if (t < envelope.attack) {
        const float rise = t / envelope.attack;
        return rise * rise * (3.0f - 2.0f * rise);
    }
    return envelope.sustain + (1.0f - envelope.sustain) * std::exp(-(t - envelope.attack) / envelope.decay);
}

// Equal-power gains for a pan position in [-1, 1].
void panGains(float pan, float& left, float& right) {
    const float angle = (std::clamp(pan, -1.0f, 1.0f) + 1.0f) * 0.25f * 3.14159265f;
    left = std::cos(angle);
    right = std::sin(angle);
}

}  // namespace

NoteRenderer::NoteRenderer(float sampleRate) : sampleRate(sampleRate) {}

void NoteRenderer::render(const Instrument& instrument, const Note& note, std::uint32_t seed, MixBuses& buses) const {
    const Envelope& envelope = instrument.amp;
    const double gateSeconds = std::max(note.length, static_cast<double>(instrument.minGate));
    const long first = std::lround(note.start * sampleRate);
    const long gateFrames = std::lround(gateSeconds * sampleRate);
    const long releaseFrames = std::max(1L, std::lround(envelope.release * sampleRate));
    const long frameCount = std::min(gateFrames + releaseFrames, static_cast<long>(buses.dry.frames()) - first);
    if (first < 0 || frameCount <= 0) {
        return;
    }

    NoiseSource noise(seed);
    const int unison = std::clamp(instrument.unison, 1, maxUnison);
    const float baseFrequency = 440.0f * std::exp2((note.pitch - 69.0f) / 12.0f);
    float phases[maxUnison], ratios[maxUnison], leftGains[maxUnison], rightGains[maxUnison];
    for (int k = 0; k < unison; ++k) {
        const float spread = unison > 1 ? static_cast<float>(k) / (unison - 1) - 0.5f : 0.0f;
        phases[k] = 0.5f + 0.5f * noise.next();
        ratios[k] = std::exp2(spread * instrument.detuneCents / 1200.0f);
        panGains(2.0f * spread * instrument.width, leftGains[k], rightGains[k]);
    }
    const float unisonGain = 1.0f / std::sqrt(static_cast<float>(unison));
    float outLeft, outRight;
    panGains(instrument.pan, outLeft, outRight);
    const float level = instrument.gain * note.velocity * unisonGain;

    // Exponential modulations advance by a constant factor per sample.
    const float pitchFall = std::exp(-1.0f / (instrument.pitchDecay * sampleRate));
    const float cutoffFall = std::exp(-1.0f / (instrument.cutoffDecay * sampleRate));
    const float fmFall = std::exp(-1.0f / (instrument.fmDecay * sampleRate));
    float pitchOffset = instrument.pitchDrop;
    float cutoffOffset = instrument.cutoffOctaves;
    float fmIndex = instrument.fmIndex;
    const float velocityCutoff = 0.6f + 0.4f * std::min(note.velocity, 1.0f);
    const bool modulatesPitch = instrument.pitchDrop != 0.0f || instrument.vibratoCents != 0.0f;

    float subPhase = 0.0f, fmPhase = 0.0f;
    const float releaseStartLevel = heldLevel(envelope, static_cast<float>(gateSeconds));
    StateVariableFilter filterLeft, filterRight;
    for (long i = 0; i < frameCount; ++i) {
        const float t = static_cast<float>(i) / sampleRate;
        float amplitude;
        if (i < gateFrames) {
            amplitude = heldLevel(envelope, t);
        } else {
            const float remaining = 1.0f - static_cast<float>(i - gateFrames) / static_cast<float>(releaseFrames);
            amplitude = releaseStartLevel * remaining * remaining;
        }
        if (i % filterUpdateInterval == 0) {
            const float cutoff = instrument.cutoffHz * std::exp2(cutoffOffset) * velocityCutoff;
            filterLeft.setCutoff(cutoff, instrument.resonance, sampleRate);
            filterRight.setCutoff(cutoff, instrument.resonance, sampleRate);
        }
        float frequency = baseFrequency;
        if (modulatesPitch) {
            const float vibratoDepth = instrument.vibratoCents / 100.0f * std::min(1.0f, t / 0.4f);
            const float semitones = pitchOffset + vibratoDepth * std::sin(twoPi * instrument.vibratoHz * t);
            frequency *= std::exp2(semitones / 12.0f);
        }
        const float increment = std::min(frequency / sampleRate, 0.49f);

        float left = 0.0f, right = 0.0f;
        const float modulation = fmIndex > 0.0f ? fmIndex * std::sin(twoPi * fmPhase) : 0.0f;
        for (int k = 0; k < unison; ++k) {
            const float oscIncrement = std::min(increment * ratios[k], 0.49f);
            float sample;
            if (instrument.wave == Wave::Sine && fmIndex > 0.0f) {
                sample = std::sin(twoPi * phases[k] + modulation);
            } else {
                sample = oscillator(instrument.wave, phases[k], oscIncrement);
            }
            phases[k] += oscIncrement;
            if (phases[k] >= 1.0f) {
                phases[k] -= 1.0f;
            }
            left += sample * leftGains[k];
            right += sample * rightGains[k];
        }
        if (instrument.subLevel > 0.0f) {
            const float sub = instrument.subLevel * std::sin(twoPi * subPhase);
            subPhase += 0.5f * increment;
            subPhase -= std::floor(subPhase);
            left += sub;
            right += sub;
        }
        if (instrument.noiseLevel > 0.0f || instrument.wave == Wave::Noise) {
            const float noiseLevel = instrument.wave == Wave::Noise ? 1.0f : instrument.noiseLevel;
            const float noiseLeft = noise.next();
            const float noiseRight = instrument.width > 0.0f ? noise.next() : noiseLeft;
            left += noiseLevel * noiseLeft;
            right += noiseLevel * noiseRight;
        }
        fmPhase += increment * instrument.fmRatio;
        fmPhase -= std::floor(fmPhase);
        pitchOffset *= pitchFall;
        cutoffOffset *= cutoffFall;
        fmIndex *= fmFall;

        const float gain = amplitude * level;
        const float filteredLeft = filterLeft.process(left, instrument.filter) * gain * outLeft;
        const float filteredRight = filterRight.process(right, instrument.filter) * gain * outRight;
        const std::size_t frame = static_cast<std::size_t>(first + i);
        buses.dry.left[frame] += filteredLeft;
        buses.dry.right[frame] += filteredRight;
        buses.reverb.left[frame] += filteredLeft * instrument.reverbSend;
        buses.reverb.right[frame] += filteredRight * instrument.reverbSend;
        buses.delay.left[frame] += filteredLeft * instrument.delaySend;
        buses.delay.right[frame] += filteredRight * instrument.delaySend;
    }
}
