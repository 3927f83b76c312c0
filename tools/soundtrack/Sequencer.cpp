#include "tools/soundtrack/Sequencer.h"

#include <cctype>
#include <sstream>
#include <stdexcept>

namespace {

std::vector<std::string> splitTokens(const std::string& text) {
    std::vector<std::string> tokens;
    std::istringstream stream(text);
    std::string token;
    while (stream >> token) {
        if (token != "|") {
            tokens.push_back(token);
        }
    }
    return tokens;
}

const Chord& findChord(const Score& score, const std::string& name) {
    for (const Chord& chord : score.chords) {
        if (chord.name == name) {
            return chord;
        }
    }
    throw std::runtime_error("unknown chord '" + name + "'");
}

// Splits trailing octave marks off a token: each ' raises and each , lowers
// by twelve semitones.
int takeOctaveShift(std::string& token) {
    int shift = 0;
    while (!token.empty() && (token.back() == '\'' || token.back() == ',')) {
        shift += token.back() == '\'' ? 12 : -12;
        token.pop_back();
    }
    return shift;
}

struct Strike {
    float pitch;
    float velocity;
};

// The pitches one pattern token strikes over the given chord.
std::vector<Strike> resolveToken(std::string token, const Chord& chord, const Instrument& instrument) {
    if (token == "x" || token == "X") {
        return {{static_cast<float>(instrument.drumPitch), token == "X" ? 1.0f : 0.6f}};
    }
    const int shift = takeOctaveShift(token);
    const std::vector<std::string> voicing = splitTokens(chord.voicing);
    std::vector<Strike> strikes;
    if (token == "R") {
        strikes.push_back({static_cast<float>(parsePitch(chord.root) + shift), 1.0f});
    } else if (token == "C") {
        for (const std::string& tone : voicing) {
            strikes.push_back({static_cast<float>(parsePitch(tone) + shift), 1.0f});
        }
    } else if (token.size() == 1 && std::isdigit(static_cast<unsigned char>(token[0]))) {
        const std::size_t index = static_cast<std::size_t>(token[0] - '1');
        if (token[0] == '0' || index >= voicing.size()) {
            throw std::runtime_error("chord " + chord.name + " has no tone " + token);
        }
        strikes.push_back({static_cast<float>(parsePitch(voicing[index]) + shift), 1.0f});
    } else {
        strikes.push_back({static_cast<float>(parsePitch(token) + shift), 1.0f});
    }
    return strikes;
}

void expandPart(const Score& score, const Section& section, const Part& part, std::vector<Note>& notes) {
    const std::vector<std::string> tokens = splitTokens(part.pattern);
    const std::vector<std::string> chordNames = splitTokens(section.chords);
    if (tokens.empty() || chordNames.empty() || part.stepsPerBeat <= 0 || section.bars <= 0) {
        throw std::runtime_error("section " + section.name + " has an empty part, no chords or no bars");
    }
    const Instrument& instrument = score.instruments.at(static_cast<std::size_t>(part.instrument));
    const int stepsPerBar = 4 * part.stepsPerBeat;
    const int totalSteps = section.bars * stepsPerBar;
    const double stepSeconds = (section.endMs - section.startMs) / 1000.0 / totalSteps;

    std::vector<std::size_t> sounding;  // notes a '-' token lengthens
    for (int step = 0; step < totalSteps; ++step) {
        const std::string& token = tokens[static_cast<std::size_t>(step) % tokens.size()];
        if (token == "-") {
            for (const std::size_t index : sounding) {
                notes[index].length += stepSeconds;
            }
            continue;
        }
        sounding.clear();
        if (token == ".") {
            continue;
        }
        const Chord& chord = findChord(score, chordNames[static_cast<std::size_t>(step / stepsPerBar) % chordNames.size()]);
        const float progress = static_cast<float>(step) / static_cast<float>(totalSteps);
        const float velocity = part.velocity + (part.velocityEnd - part.velocity) * progress;
        for (const Strike& strike : resolveToken(token, chord, instrument)) {
            Note note;
            note.instrument = part.instrument;
            note.start = section.startMs / 1000.0 + step * stepSeconds;
            note.length = stepSeconds;
            note.pitch = strike.pitch;
            note.velocity = velocity * strike.velocity;
            sounding.push_back(notes.size());
            notes.push_back(note);
        }
    }
}

void expandHit(const Score& score, const Hit& hit, std::vector<Note>& notes) {
    const Instrument& instrument = score.instruments.at(static_cast<std::size_t>(hit.instrument));
    for (const std::string& pitch : splitTokens(hit.pitches)) {
        Note note;
        note.instrument = hit.instrument;
        note.start = hit.timeMs / 1000.0;
        note.length = hit.lengthMs / 1000.0;
        note.pitch = static_cast<float>(pitch == "x" ? instrument.drumPitch : parsePitch(pitch));
        note.velocity = hit.velocity;
        notes.push_back(note);
    }
}

}  // namespace

int parsePitch(const std::string& name) {
    static const int letterSemitones[7] = {9, 11, 0, 2, 4, 5, 7};  // A B C D E F G
    if (name.size() < 2 || name[0] < 'A' || name[0] > 'G') {
        throw std::runtime_error("bad pitch '" + name + "'");
    }
    int semitone = letterSemitones[name[0] - 'A'];
    std::size_t position = 1;
    if (name[position] == '#' || name[position] == 'b') {
        semitone += name[position] == '#' ? 1 : -1;
        ++position;
    }
    if (position + 1 != name.size() || !std::isdigit(static_cast<unsigned char>(name[position]))) {
        throw std::runtime_error("bad pitch '" + name + "'");
    }
    const int octave = name[position] - '0';
    return 12 * (octave + 1) + semitone;
}

std::vector<Note> expandScore(const Score& score) {
    std::vector<Note> notes;
    for (const Section& section : score.sections) {
        for (const Part& part : section.parts) {
            expandPart(score, section, part, notes);
        }
    }
    for (const Hit& hit : score.hits) {
        expandHit(score, hit, notes);
    }
    return notes;
}
