// "Quietfall", the demo's soundtrack, in D minor. Its sections start on the
// demo's scene changes: a quiet opening, accents for the title at 10.7 s and
// 20.0 s, a build from 29.5 s, the full theme with drums at 31.41 s, a
// driving section from 72.41 s and a calm close from 92.3 s that resolves to
// D major at 123.57 s and fades out.
//
// To change the music, edit the tables below and rebuild: instruments are
// plain settings, chords name a bass root and a four-note voicing, and each
// section loops its parts' step patterns (token syntax in Score.h).

#include "tools/soundtrack/Score.h"

namespace {

enum InstrumentId : int { Pad, Drone, Bass, Lead, Arp, Bell, Kick, Snare, Hat, OpenHat, Crash, Boom, Stab, Riser, InstrumentCount };

Instrument pad() {
    Instrument i;
    i.name = "pad";
    i.wave = Wave::Saw;
    i.unison = 5;
    i.detuneCents = 22.0f;
    i.width = 0.9f;
    i.cutoffHz = 1500.0f;
    i.resonance = 0.8f;
    i.amp = {0.7f, 1.5f, 0.8f, 0.7f};
    i.gain = 0.10f;
    i.reverbSend = 0.45f;
    return i;
}

Instrument drone() {
    Instrument i;
    i.name = "drone";
    i.wave = Wave::Triangle;
    i.subLevel = 0.6f;
    i.cutoffHz = 700.0f;
    i.amp = {1.0f, 2.0f, 0.8f, 1.2f};
    i.gain = 0.30f;
    i.reverbSend = 0.15f;
    return i;
}

Instrument bass() {
    Instrument i;
    i.name = "bass";
    i.wave = Wave::Saw;
    i.unison = 2;
    i.detuneCents = 8.0f;
    i.subLevel = 0.7f;
    i.cutoffHz = 420.0f;
    i.cutoffOctaves = 1.8f;
    i.cutoffDecay = 0.12f;
    i.resonance = 1.1f;
    i.amp = {0.004f, 0.3f, 0.7f, 0.06f};
    i.gain = 0.30f;
    i.reverbSend = 0.04f;
    return i;
}

Instrument lead() {
    Instrument i;
    i.name = "lead";
    i.wave = Wave::Saw;
    i.unison = 3;
    i.detuneCents = 12.0f;
    i.width = 0.35f;
    i.cutoffHz = 2600.0f;
    i.cutoffOctaves = 0.8f;
    i.cutoffDecay = 0.3f;
    i.vibratoCents = 18.0f;
    i.vibratoHz = 5.3f;
    i.amp = {0.015f, 0.5f, 0.75f, 0.25f};
    i.gain = 0.2f;
    i.reverbSend = 0.3f;
    i.delaySend = 0.28f;
    return i;
}

Instrument arp() {
    Instrument i;
    i.name = "arp";
    i.wave = Wave::Square;
    i.unison = 2;
    i.detuneCents = 8.0f;
    i.width = 0.7f;
    i.cutoffHz = 1400.0f;
    i.cutoffOctaves = 2.2f;
    i.cutoffDecay = 0.07f;
    i.amp = {0.002f, 0.16f, 0.0f, 0.08f};
    i.minGate = 0.18f;
    i.gain = 0.10f;
    i.pan = -0.15f;
    i.reverbSend = 0.25f;
    i.delaySend = 0.4f;
    return i;
}

Instrument bell() {
    Instrument i;
    i.name = "bell";
    i.wave = Wave::Sine;
    i.fmRatio = 3.5f;
    i.fmIndex = 2.2f;
    i.fmDecay = 0.5f;
    i.amp = {0.003f, 1.1f, 0.0f, 1.0f};
    i.minGate = 1.2f;
    i.gain = 0.16f;
    i.pan = 0.2f;
    i.reverbSend = 0.6f;
    i.delaySend = 0.3f;
    return i;
}

Instrument kick() {
    Instrument i;
    i.name = "kick";
    i.wave = Wave::Sine;
    i.drumPitch = 31;
    i.pitchDrop = 30.0f;
    i.pitchDecay = 0.025f;
    i.amp = {0.001f, 0.22f, 0.0f, 0.05f};
    i.minGate = 0.3f;
    i.gain = 0.7f;
    return i;
}

Instrument snare() {
    Instrument i;
    i.name = "snare";
    i.wave = Wave::Triangle;
    i.drumPitch = 55;
    i.pitchDrop = 7.0f;
    i.pitchDecay = 0.02f;
    i.noiseLevel = 1.3f;
    i.width = 0.3f;
    i.cutoffHz = 7000.0f;
    i.amp = {0.001f, 0.12f, 0.0f, 0.05f};
    i.minGate = 0.2f;
    i.gain = 0.32f;
    i.reverbSend = 0.3f;
    return i;
}

Instrument hat() {
    Instrument i;
    i.name = "hat";
    i.wave = Wave::Noise;
    i.width = 0.5f;
    i.filter = FilterMode::HighPass;
    i.cutoffHz = 7500.0f;
    i.amp = {0.001f, 0.035f, 0.0f, 0.03f};
    i.minGate = 0.06f;
    i.gain = 0.22f;
    i.pan = 0.3f;
    i.reverbSend = 0.1f;
    return i;
}

Instrument openHat() {
    Instrument i = hat();
    i.name = "open hat";
    i.cutoffHz = 6500.0f;
    i.amp = {0.001f, 0.22f, 0.0f, 0.08f};
    i.minGate = 0.3f;
    i.gain = 0.14f;
    i.pan = -0.3f;
    return i;
}

Instrument crash() {
    Instrument i;
    i.name = "crash";
    i.wave = Wave::Noise;
    i.width = 1.0f;
    i.filter = FilterMode::HighPass;
    i.cutoffHz = 3500.0f;
    i.amp = {0.002f, 0.7f, 0.0f, 0.5f};
    i.minGate = 1.5f;
    i.gain = 0.16f;
    i.reverbSend = 0.4f;
    return i;
}

Instrument boom() {
    Instrument i;
    i.name = "boom";
    i.wave = Wave::Sine;
    i.drumPitch = 26;
    i.pitchDrop = 24.0f;
    i.pitchDecay = 0.06f;
    i.amp = {0.001f, 0.7f, 0.0f, 0.3f};
    i.minGate = 1.0f;
    i.gain = 0.6f;
    i.reverbSend = 0.2f;
    return i;
}

Instrument stab() {
    Instrument i;
    i.name = "stab";
    i.wave = Wave::Saw;
    i.unison = 4;
    i.detuneCents = 16.0f;
    i.width = 0.8f;
    i.cutoffHz = 2200.0f;
    i.cutoffOctaves = 2.0f;
    i.cutoffDecay = 0.25f;
    i.amp = {0.003f, 0.5f, 0.3f, 0.8f};
    i.gain = 0.13f;
    i.reverbSend = 0.5f;
    i.delaySend = 0.3f;
    return i;
}

Instrument riser() {
    Instrument i;
    i.name = "riser";
    i.wave = Wave::Noise;
    i.width = 1.0f;
    i.filter = FilterMode::BandPass;
    i.cutoffHz = 9000.0f;
    i.cutoffOctaves = -5.0f;  // sweeps up from about 280 Hz
    i.cutoffDecay = 0.6f;
    i.resonance = 2.0f;
    i.amp = {1.5f, 1.0f, 1.0f, 0.05f};
    i.gain = 0.45f;
    i.reverbSend = 0.2f;
    return i;
}

std::vector<Instrument> instruments() {
    std::vector<Instrument> list(InstrumentCount);
    list[Pad] = pad();
    list[Drone] = drone();
    list[Bass] = bass();
    list[Lead] = lead();
    list[Arp] = arp();
    list[Bell] = bell();
    list[Kick] = kick();
    list[Snare] = snare();
    list[Hat] = hat();
    list[OpenHat] = openHat();
    list[Crash] = crash();
    list[Boom] = boom();
    list[Stab] = stab();
    list[Riser] = riser();
    return list;
}

std::vector<Chord> chords() {
    return {
        {"Dm", "D2", "D3 A3 D4 F4"},     {"Dm9", "D2", "F3 A3 C4 E4"},
        {"Bb", "Bb1", "D3 F3 Bb3 D4"},   {"Bbmaj7", "Bb1", "D3 F3 A3 D4"},
        {"F", "F2", "C3 F3 A3 C4"},      {"C", "C2", "C3 G3 C4 E4"},
        {"Gm", "G1", "D3 G3 Bb3 D4"},    {"Gm9", "G1", "F3 A3 Bb3 D4"},
        {"A", "A1", "E3 A3 C#4 E4"},     {"Asus", "A1", "E3 A3 D4 E4"},
        {"A7", "A1", "E3 G3 C#4 E4"},
    };
}

// Patterns shared by several sections.
const char* const padWhole = "C - - - - - - -";
const char* const themeKick = "X . . . . . x . X . x . . . . .";
const char* const themeSnare = ". . . . X . . . . . . . X . . .";
const char* const themeHat = "x . X . x . X . x . X . x . X x";
const char* const themeBass = "R - R' R . R R' R";
const char* const themeArp = "1' 2' 3' 4' 2' 3' 4' 3'";

Section section(const std::string& name, double startMs, double endMs, int bars, const std::string& chordNames,
                std::vector<Part> parts) {
    Section s;
    s.name = name;
    s.startMs = startMs;
    s.endMs = endMs;
    s.bars = bars;
    s.chords = chordNames;
    s.parts = std::move(parts);
    return s;
}

std::vector<Part> themeBand(float arpVelocity) {
    return {
        {Pad, padWhole, 2, 0.6f, 0.6f},
        {Bass, themeBass, 2, 0.85f, 0.85f},
        {Arp, themeArp, 4, arpVelocity, arpVelocity},
        {Kick, themeKick, 4, 1.0f, 1.0f},
        {Snare, themeSnare, 4, 1.0f, 1.0f},
        {Hat, themeHat, 4, 0.8f, 0.8f},
    };
}

std::vector<Section> sections() {
    std::vector<Section> list;
    // 0 - 10.7 s: warm and quiet under the first particle cloud.
    list.push_back(section("opening", 0.0, 10700.0, 4, "Dm9 Bbmaj7 Gm9 Asus", {
        {Pad, padWhole, 2, 0.3f, 0.45f},
        {Drone, "R - - - - - - -", 2, 0.35f, 0.45f},
        {Bell, "3' . . 4' . . 2' . | 1' . . . . . 3 .", 2, 0.3f, 0.45f},
    }));
    // 10.7 - 20.0 s: the title; the theme's first half on bells.
    list.push_back(section("title", 10700.0, 19999.0, 4, "Dm Bb F C", {
        {Pad, padWhole, 2, 0.7f, 0.7f},
        {Bass, "R - - - R - - R'", 2, 0.55f, 0.6f},
        {Arp, "1' 2' 3' 4' 3' 2' 1' 2'", 4, 0.3f, 0.55f},
        {Bell, "D5 - - - A4 - D5 E5 | F5 - - - E5 - D5 - | C5 - - - A4 - C5 D5 | E5 - - - G5 - - -", 2, 0.5f, 0.5f},
        {Hat, ". . x . . . x . . . x . . . x .", 4, 0.3f, 0.45f},
    }));
    // 20.0 - 29.5 s: the title again; a soft lead answers with the second half.
    list.push_back(section("return", 19999.0, 29486.0, 4, "Dm Bb Gm A", {
        {Pad, padWhole, 2, 0.75f, 0.75f},
        {Bass, "R - - R' . R - R", 2, 0.7f, 0.7f},
        {Arp, "1' 2' 3' 4' 2' 3' 4' 3'", 4, 0.5f, 0.6f},
        {Lead, "A5 - - - G5 F5 E5 F5 | D5 - - - F5 - D5 - | G5 - - - F5 - E5 D5 | E5 - - - C#5 - - -", 2, 0.55f, 0.6f},
        {Kick, "X . . . . . . . X . . . . . . .", 4, 0.5f, 0.6f},
        {Hat, "x . X . x . X . x . X . x . X .", 4, 0.4f, 0.5f},
    }));
    // 29.5 - 31.4 s: the build, everything rising, then a breath before the drop.
    list.push_back(section("build", 29486.0, 31410.0, 1, "A7", {
        {Snare, "x . . . x . . . x . x . x . x . x x x x x x x x x x x . . . . .", 8, 0.3f, 1.0f},
        {Arp, "1' 2' 3' 4' 1'' 2'' 3'' 4'' 1' 2' 3' 4' 1'' . . .", 4, 0.5f, 0.9f},
        {Bass, "R R R R R R R R R R R R R R . .", 4, 0.5f, 0.9f},
        {Kick, "X . X . X . X . X . X . . . . .", 4, 0.7f, 1.0f},
    }));
    // 31.4 - 72.4 s: the full theme with drums under the title picture.
    list.push_back(section("theme intro", 31410.0, 39610.0, 4, "Dm Bb F C", themeBand(0.7f)));
    std::vector<Part> themeA = themeBand(0.5f);
    themeA.push_back({Lead,
                      "D5 - - - A4 - D5 E5 | F5 - - - E5 - D5 - | C5 - - - A4 - C5 D5 | E5 - - - G5 - - - | "
                      "A5 - - - G5 F5 E5 F5 | D5 - - - F5 - D5 - | G5 - - - F5 - E5 D5 | E5 - - - C#5 - - -",
                      2, 0.9f, 0.9f});
    list.push_back(section("theme A", 39610.0, 56010.0, 8, "Dm Bb F C Dm Bb Gm A", themeA));
    std::vector<Part> themeB = themeBand(0.55f);
    const char* const themeBMelody =
        "D6 - - - A5 - F5 A5 | Bb5 - - - A5 - F5 D5 | C6 - - A5 - - F5 - | G5 - - - E5 - C5 E5 | "
        "F5 - - - E5 - D5 E5 | F5 - - D5 - - Bb4 D5 | G5 - - - A5 - Bb5 -";
    themeB.push_back({Lead, themeBMelody, 2, 1.0f, 1.0f});
    themeB.push_back({Bell, themeBMelody, 2, 0.3f, 0.3f});
    themeB.push_back({OpenHat, ". . X . . . X . . . X . . . X .", 4, 0.6f, 0.6f});
    list.push_back(section("theme B", 56010.0, 70360.0, 7, "Dm Bb F C Dm Bb Gm", themeB));
    list.push_back(section("turnaround", 70360.0, 72410.0, 1, "A", {
        {Pad, "C - - - - - - - - - - - - - . .", 4, 0.75f, 0.75f},
        {Lead, "A5 - - - - - - - - - - - - - . .", 4, 1.0f, 1.0f},
        {Bass, "R . R . R . R . R R R R R R . .", 4, 0.85f, 0.85f},
        {Kick, "X . . . X . . . X . . . X . . .", 4, 1.0f, 1.0f},
        {Snare, "x . x . X . x x X . X x X X . .", 4, 0.6f, 1.0f},
    }));
    // 72.4 - 92.3 s: the tunnel drives on four to the floor.
    list.push_back(section("drive", 72410.0, 88321.2, 8, "Dm Dm Bb C Dm Dm Gm A", {
        {Pad, padWhole, 2, 0.55f, 0.55f},
        {Bass, "R R R' R R R R' R R R R' R R R R' R", 4, 0.8f, 0.8f},
        {Arp, "1' 2' 3' 4' 1'' 4' 3' 2'", 4, 0.45f, 0.45f},
        {Lead,
         "D5 - F5 A5 - G5 F5 E5 | F5 - - E5 D5 - A4 - | D5 - F5 Bb5 - A5 F5 D5 | E5 - G5 C6 - G5 E5 C5 | "
         "D6 - - - C6 - A5 - | F5 - A5 - D6 - C6 A5 | Bb5 - - - A5 - G5 F5 | E5 - A5 - C#6 - E6 -",
         2, 0.9f, 0.9f},
        {Kick, "X . . . X . . . X . . . X . . .", 4, 1.0f, 1.0f},
        {Snare, ". . . . X . . x . . . . X . . .", 4, 1.0f, 1.0f},
        {Hat, "x x X x x x X x x x X x x x X x", 4, 0.6f, 0.6f},
        {OpenHat, ". . X . . . X . . . X . . . X .", 4, 0.6f, 0.6f},
    }));
    list.push_back(section("drive out", 88321.2, 92299.0, 2, "Bb A", {
        {Pad, padWhole, 2, 0.6f, 0.6f},
        {Bass, "R R R' R R R R' R R R R' R R R R' R", 4, 0.8f, 0.6f},
        {Lead, "D6 - - - - - - - | C#6 - - - - - . .", 2, 0.9f, 0.9f},
        {Kick, "X . . . X . . . X . . . X . . . | X . . . X . . . X . X . X X X X", 4, 1.0f, 1.0f},
        {Snare, ". . . . X . . x . . . . X . . . | . . . . X . . x X . X x X X X X", 4, 0.8f, 1.0f},
        {Hat, "x x X x x x X x x x X x x x X x", 4, 0.6f, 0.4f},
    }));
    // 92.3 s to the end: the calm close, the theme slowed on bells.
    list.push_back(section("close", 92299.0, 123569.0, 8, "Bbmaj7 F Gm9 Dm9 Bbmaj7 C Asus A", {
        {Pad, padWhole, 2, 0.75f, 0.6f},
        {Drone, "R - - - - - - -", 2, 0.6f, 0.6f},
        {Bell,
         "D5 - - - A4 - D5 E5 | F5 - - - E5 - C5 - | D5 - - - Bb4 - A4 - | A4 - - - - - . . | "
         "D5 - - - F5 - A5 - | G5 - - - E5 - C5 - | D5 - - - E5 - - - | C#5 - - - - - - -",
         2, 0.6f, 0.5f},
        {Arp, "1' 2' 3' 4' 3' 2' 1' 2'", 2, 0.4f, 0.25f},
        {Hat, ". . x . . . x .", 4, 0.3f, 0.0f},
    }));
    return list;
}

std::vector<Hit> hits() {
    const char* const dMinorStab = "D4 F4 A4 D5";
    return {
        // The title lettering appears.
        {10700.0, Boom, "x", 100.0, 1.0f},
        {10700.0, Crash, "x", 100.0, 0.9f},
        {10700.0, Stab, dMinorStab, 600.0, 1.0f},
        // And returns.
        {19999.0, Boom, "x", 100.0, 0.9f},
        {19999.0, Crash, "x", 100.0, 0.8f},
        {19999.0, Stab, dMinorStab, 500.0, 0.9f},
        // The particles grow.
        {29486.0, Riser, "x", 1584.0, 1.0f},
        // The title picture: the theme begins.
        {31410.0, Boom, "x", 100.0, 1.0f},
        {31410.0, Crash, "x", 100.0, 1.0f},
        {31410.0, Stab, dMinorStab, 400.0, 1.0f},
        // The tunnel.
        {72410.0, Boom, "x", 100.0, 1.0f},
        {72410.0, Crash, "x", 100.0, 1.0f},
        {72410.0, Stab, dMinorStab, 400.0, 1.0f},
        // The last scene.
        {92299.0, Crash, "x", 100.0, 0.6f},
        {92299.0, Boom, "x", 100.0, 0.6f},
        // The schedule ends: D major, left to ring and fade.
        {123569.0, Pad, "D3 F#3 A3 E4 F#4", 3500.0, 0.8f},
        {123569.0, Drone, "D2", 3500.0, 0.7f},
        {123569.0, Bell, "F#5 D6", 1500.0, 0.5f},
    };
}

}  // namespace

Score quietfallScore() {
    Score score;
    score.instruments = instruments();
    score.chords = chords();
    score.sections = sections();
    score.hits = hits();
    score.fadeStartMs = 123569.0;
    score.lengthMs = 129000.0;
    score.delaySeconds = 0.384f;  // a dotted eighth at the theme's tempo
    score.delayFeedback = 0.38f;
    return score;
}
