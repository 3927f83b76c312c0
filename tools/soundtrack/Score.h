#pragma once

#include <string>
#include <vector>

// The score of a piece as plain data: the instruments, the sections that
// loop step patterns over a chord sequence, and one-off hits at fixed times.

enum class Wave { Sine, Triangle, Saw, Square, Noise };
enum class FilterMode { LowPass, BandPass, HighPass };

// Amplitude envelope: times in seconds, sustain as a level 0..1.
struct Envelope {
    float attack = 0.005f;
    float decay = 0.2f;
    float sustain = 1.0f;
    float release = 0.1f;
};

struct Instrument {
    std::string name;
    Wave wave = Wave::Saw;
    int unison = 1;              // oscillators per note
    float detuneCents = 0.0f;    // spread between the outermost unison oscillators
    float width = 0.0f;          // stereo spread of the unison oscillators, 0..1
    float subLevel = 0.0f;       // sine one octave below the note
    float noiseLevel = 0.0f;     // white noise mixed with the oscillators
    float fmRatio = 0.0f;        // sine carrier phase-modulated at this frequency ratio
    float fmIndex = 0.0f;        // modulation index at the onset
    float fmDecay = 1.0f;        // seconds for the modulation index to fall by 1/e
    float pitchDrop = 0.0f;      // semitones above the note at the onset
    float pitchDecay = 0.05f;    // seconds for the pitch offset to fall by 1/e
    float vibratoCents = 0.0f;
    float vibratoHz = 5.0f;
    FilterMode filter = FilterMode::LowPass;
    float cutoffHz = 18000.0f;
    float cutoffOctaves = 0.0f;  // extra cutoff at the onset, falling with cutoffDecay
    float cutoffDecay = 0.2f;
    float resonance = 0.7f;      // filter Q
    Envelope amp;
    float minGate = 0.0f;        // shortest key-down time in seconds, so one-step hits ring out
    float gain = 1.0f;
    float pan = 0.0f;            // -1 left .. 1 right
    float reverbSend = 0.0f;
    float delaySend = 0.0f;
    int drumPitch = 60;          // pitch used by the x and X hit tokens
};

// One track of a section: a step pattern looped over the section's length.
// Tokens, separated by spaces ('|' marks bars for the reader and is skipped):
//   .        rest                  -       hold the previous note one step more
//   D5 F#4   an explicit pitch     R       the root of the bar's chord
//   1..9     a tone of the bar's chord voicing, counted from the lowest
//   C        the whole chord voicing
//   x X      a hit at the instrument's drum pitch, soft and accented
// R and chord tones take a trailing ' (octave up) or , (octave down).
struct Part {
    int instrument = 0;
    std::string pattern;
    int stepsPerBeat = 2;
    float velocity = 1.0f;       // at the section's start
    float velocityEnd = 1.0f;    // at its end; the velocity ramps linearly between them
};

// A span of the piece with its own bar length and chord sequence. Sections
// may overlap; each plays its parts from its own first downbeat.
struct Section {
    std::string name;
    double startMs = 0.0;
    double endMs = 0.0;
    int bars = 1;                // of four beats, filling startMs..endMs exactly
    std::string chords;          // chord names, one per bar, repeated as needed
    std::vector<Part> parts;
};

// A chord: its root for the bass and the voicing that chord-tone tokens read.
struct Chord {
    std::string name;
    std::string root;
    std::string voicing;
};

// A note or chord struck once at a fixed time, for accents, risers and the end.
struct Hit {
    double timeMs = 0.0;
    int instrument = 0;
    std::string pitches;         // space-separated pitches, or "x" for the drum pitch
    double lengthMs = 0.0;
    float velocity = 1.0f;
};

struct Score {
    std::vector<Instrument> instruments;
    std::vector<Chord> chords;
    std::vector<Section> sections;
    std::vector<Hit> hits;
    double fadeStartMs = 0.0;    // the master fade-out runs from here to lengthMs
    double lengthMs = 0.0;
    float delaySeconds = 0.375f; // ping-pong echo time
    float delayFeedback = 0.4f;
};

// The piece the build turns into the soundtrack.
Score quietfallScore();
