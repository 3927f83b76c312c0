#pragma once

#include <string>
#include <vector>

// An MP3 file decoded in full with libmpg123 (gapless, so the encoder's
// delay and padding are trimmed and sample n is at n / sampleRate seconds).
// Throws std::runtime_error if the file cannot be decoded.
class DecodedTrack {
public:
    explicit DecodedTrack(const std::string& path);

    long sampleRate() const { return rate; }
    int channels() const { return channelCount; }
    double seconds() const;
    // Largest absolute sample of either channel; may exceed 1 if the file clips.
    float peak() const;
    // Root mean square of the side (L-R)/2 signal over the whole track.
    double sideRms() const;
    // Mid signal, one sample per frame.
    std::vector<float> mid() const;

private:
    long rate = 0;
    int channelCount = 0;
    std::vector<float> samples;  // interleaved
};

// Root mean square of samples over [from, to) seconds.
double rmsOf(const std::vector<float>& signal, long sampleRate, double from, double to);

// How much louder the signal is just after a cue than just before it: the
// RMS over 50..75 ms after the cue divided by the RMS over 200..50 ms before.
// An onset anywhere within 50 ms of the cue lies between the two windows.
double energyRiseAt(const std::vector<float>& signal, long sampleRate, double cueSeconds);
