#pragma once

#include <vector>

#include "bench/ServerRecorder.h"

// When each sample of a recording was heard, from the sound server's stamps
// of some of them: the least-squares line through the stamps, so that the
// jitter of any one stamp (a cycle's wake-up, a timing reply's own stamp)
// averages out and the sink's pace is kept.
class StampFit {
public:
    // False with fewer than two stamps a second apart.
    bool fit(const std::vector<ServerRecorder::Stamp>& stamps);

    double heardUs(double index) const { return interceptUs + index * usPerSample; }
    double microsecondsPerSample() const { return usPerSample; }
    // The largest distance of a stamp from the line.
    double largestResidualUs() const { return residualUs; }

private:
    double interceptUs = 0;
    double usPerSample = 0;
    double residualUs = 0;
};
