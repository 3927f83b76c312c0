#pragma once

#include "Score.h"

#include <string>
#include <vector>

// One note to be played: times in seconds, pitch as a MIDI note number.
struct Note {
    int instrument = 0;
    double start = 0.0;
    double length = 0.0;
    float pitch = 60.0f;
    float velocity = 1.0f;
};

// MIDI note number of a pitch name such as "C4" (60), "F#3" or "Bb5".
// Throws std::runtime_error for anything else.
int parsePitch(const std::string& name);

// Plays every section's patterns and every hit of the score into a list of
// notes. Throws std::runtime_error naming the token for a malformed score.
std::vector<Note> expandScore(const Score& score);
