#pragma once

#include "tools/soundtrack/Score.h"
#include "tools/soundtrack/Sequencer.h"
#include "tools/soundtrack/StereoBuffer.h"

#include <cstdint>

// The three buses a note is mixed into: heard directly, fed to the reverb,
// fed to the echo.
struct MixBuses {
    StereoBuffer dry;
    StereoBuffer reverb;
    StereoBuffer delay;

    explicit MixBuses(std::size_t frames) : dry(frames), reverb(frames), delay(frames) {}
};

// Renders one note of an instrument: unison oscillators with pitch and
// vibrato modulation, a state-variable filter with its own envelope, and an
// attack-decay-sustain-release amplitude envelope that starts and ends at zero.
class NoteRenderer {
public:
    explicit NoteRenderer(float sampleRate);

    // seed picks the oscillator start phases and the noise sequence.
    void render(const Instrument& instrument, const Note& note, std::uint32_t seed, MixBuses& buses) const;

private:
    float sampleRate;
};
