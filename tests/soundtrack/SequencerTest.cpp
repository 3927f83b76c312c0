// The score's pattern language: what notes a section's tokens turn into.

#include "tools/soundtrack/Sequencer.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

// One instrument, two chords, and one section of the given bars of 2 s each
// playing one part with one step per beat (0.5 s).
Score oneSection(const std::string& pattern, int bars = 1, const std::string& chords = "Dm") {
    Score score;
    Instrument drum;
    drum.drumPitch = 36;
    score.instruments = {drum};
    score.chords = {{"Dm", "D2", "D3 A3 D4 F4"}, {"F", "F2", "C3 F3 A3 C4"}};
    Section section;
    section.name = "test";
    section.startMs = 1000.0;
    section.endMs = 1000.0 + 2000.0 * bars;
    section.bars = bars;
    section.chords = chords;
    section.parts = {{0, pattern, 1, 1.0f, 1.0f}};
    score.sections = {section};
    return score;
}

std::vector<float> pitchesOf(const std::vector<Note>& notes) {
    std::vector<float> pitches;
    for (const Note& note : notes) {
        pitches.push_back(note.pitch);
    }
    return pitches;
}

}  // namespace

TEST(PitchNames, GiveMidiNoteNumbers) {
    EXPECT_EQ(parsePitch("C4"), 60);
    EXPECT_EQ(parsePitch("A4"), 69);
    EXPECT_EQ(parsePitch("F#3"), 54);
    EXPECT_EQ(parsePitch("Bb1"), 34);
    EXPECT_EQ(parsePitch("B0"), 23);
    for (const char* bad : {"", "C", "H4", "C#", "Cx4", "C45", "c4"}) {
        EXPECT_THROW(parsePitch(bad), std::runtime_error) << bad;
    }
}

TEST(Patterns, HoldRestAndHitOnTheirSteps) {
    const std::vector<Note> notes = expandScore(oneSection("D4 - . x"));
    ASSERT_EQ(notes.size(), 2u);
    EXPECT_DOUBLE_EQ(notes[0].start, 1.0);
    EXPECT_DOUBLE_EQ(notes[0].length, 1.0);
    EXPECT_EQ(notes[0].pitch, 62.0f);
    EXPECT_DOUBLE_EQ(notes[1].start, 2.5);
    EXPECT_DOUBLE_EQ(notes[1].length, 0.5);
    EXPECT_EQ(notes[1].pitch, 36.0f);
    EXPECT_FLOAT_EQ(notes[1].velocity, 0.6f);
}

TEST(Patterns, ReadChordTonesWithOctaveMarks) {
    const std::vector<Note> notes = expandScore(oneSection("R 4' C 2,"));
    EXPECT_EQ(pitchesOf(notes), (std::vector<float>{38, 77, 50, 57, 62, 65, 45}));
    for (int i = 2; i < 6; ++i) {
        EXPECT_DOUBLE_EQ(notes[i].start, 2.0) << "the whole chord strikes together";
    }
}

TEST(Patterns, LoopOverTheSectionWhileTheChordsChangeEachBar) {
    const std::vector<Note> notes = expandScore(oneSection("R | 1", 3, "Dm F"));
    // Pattern of two steps ("|" is only a bar mark), three bars of four steps,
    // chords Dm F Dm.
    EXPECT_EQ(pitchesOf(notes), (std::vector<float>{38, 50, 38, 50, 41, 48, 41, 48, 38, 50, 38, 50}));
    ASSERT_EQ(notes.size(), 12u);
    EXPECT_DOUBLE_EQ(notes.back().start, 1.0 + 5.5);
}

TEST(Patterns, RampTheVelocityAcrossTheSection) {
    Score score = oneSection("x", 2);
    score.sections[0].parts[0].velocity = 0.0f;
    score.sections[0].parts[0].velocityEnd = 1.0f;
    const std::vector<Note> notes = expandScore(score);
    ASSERT_EQ(notes.size(), 8u);
    for (std::size_t i = 0; i < notes.size(); ++i) {
        EXPECT_FLOAT_EQ(notes[i].velocity, 0.6f * i / 8.0f);
    }
}

TEST(Patterns, RejectWhatTheyCannotPlay) {
    EXPECT_THROW(expandScore(oneSection("R", 1, "Cm")), std::runtime_error) << "unknown chord";
    EXPECT_THROW(expandScore(oneSection("5")), std::runtime_error) << "no fifth tone in the voicing";
    EXPECT_THROW(expandScore(oneSection("Q3")), std::runtime_error) << "bad token";
    EXPECT_THROW(expandScore(oneSection("|")), std::runtime_error) << "empty pattern";
}

TEST(Hits, StrikeEachPitchOnceAtTheirTime) {
    Score score = oneSection(".");
    score.hits = {{4500.0, 0, "D4 x", 250.0, 0.8f}};
    const std::vector<Note> notes = expandScore(score);
    EXPECT_EQ(pitchesOf(notes), (std::vector<float>{62, 36}));
    for (const Note& note : notes) {
        EXPECT_DOUBLE_EQ(note.start, 4.5);
        EXPECT_DOUBLE_EQ(note.length, 0.25);
        EXPECT_FLOAT_EQ(note.velocity, 0.8f);
    }
}
