#pragma once

#include <vector>

#include "bench/ServerRecorder.h"

// When each sample of a recording was heard, from the sound server's stamps
// of some of them. A sample's time comes from the stamps within half a second
// of it, each carried to the sample at the nominal rate, taking their median:
// a stamp made late (a timing reply held up) is outvoted, and a sink that
// stopped and started again (PulseAudio's null sink resumes once something
// plays) only misleads the stamps of its own half second.
class StampFit {
public:
    explicit StampFit(int sampleRate) : sampleRate(sampleRate) {}

    // False with stamps spanning less than a second.
    bool fit(const std::vector<ServerRecorder::Stamp>& stamps);

    double heardUs(double index) const;
    // The sink's pace over the whole recording, by least squares.
    double microsecondsPerSample() const { return usPerSample; }
    // The 99th percentile of the stamps' distances from the times given for
    // their samples.
    double stampScatterUs() const { return scatterUs; }

private:
    int sampleRate;
    std::vector<ServerRecorder::Stamp> kept;
    double usPerSample = 0;
    double scatterUs = 0;
};
