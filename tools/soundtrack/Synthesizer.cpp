#include "tools/soundtrack/Synthesizer.h"

#include "tools/soundtrack/Master.h"
#include "tools/soundtrack/NoteRenderer.h"
#include "tools/soundtrack/PingPongDelay.h"
#include "tools/soundtrack/Reverb.h"
#include "tools/soundtrack/Sequencer.h"

#include <cmath>
#include <cstdint>

namespace {

constexpr float reverbRoomSize = 0.86f;
constexpr float reverbDamping = 0.35f;
constexpr float echoIntoReverb = 0.4f;
// The mix is scaled so its loudest peaks sit this far over the limiter's
// threshold, then limited, then scaled to the final peak level.
constexpr float limiterDrive = 2.0f;
constexpr float limiterLookAhead = 0.003f;
constexpr float limiterRelease = 0.15f;
constexpr float finalPeak = 0.8f;  // -1.9 dBFS, headroom for the encoder's overshoot

void addScaled(StereoBuffer& target, const StereoBuffer& source, float scale) {
    for (std::size_t i = 0; i < target.frames(); ++i) {
        target.left[i] += source.left[i] * scale;
        target.right[i] += source.right[i] * scale;
    }
}

}  // namespace

Synthesizer::Synthesizer(float sampleRate) : sampleRate(sampleRate) {}

StereoBuffer Synthesizer::render(const Score& score) const {
    const std::size_t frames = static_cast<std::size_t>(std::lround(score.lengthMs / 1000.0 * sampleRate));
    const std::vector<Note> notes = expandScore(score);
    MixBuses buses(frames);
    const NoteRenderer renderer(sampleRate);
    for (std::size_t i = 0; i < notes.size(); ++i) {
        const Instrument& instrument = score.instruments.at(static_cast<std::size_t>(notes[i].instrument));
        renderer.render(instrument, notes[i], static_cast<std::uint32_t>(i), buses);
    }

    const StereoBuffer echoes = PingPongDelay(score.delaySeconds, score.delayFeedback, sampleRate).process(buses.delay);
    addScaled(buses.dry, echoes, 1.0f);
    addScaled(buses.reverb, echoes, echoIntoReverb);
    const StereoBuffer reverb = Reverb(reverbRoomSize, reverbDamping).process(buses.reverb);

    StereoBuffer mix = std::move(buses.dry);
    addScaled(mix, reverb, 1.0f);
    removeDcOffset(mix, sampleRate);
    normalisePeak(mix, limiterDrive);
    limitPeaks(mix, 1.0f, sampleRate, limiterLookAhead, limiterRelease);
    applyFades(mix, sampleRate, score.fadeStartMs / 1000.0);
    normalisePeak(mix, finalPeak);
    return mix;
}
