#include "bench/ArrivalFit.h"

#include <algorithm>
#include <limits>

void ArrivalFit::add(std::int64_t samplesSoFar, std::int64_t arrivalUs) { chunks.push_back({samplesSoFar, arrivalUs}); }

bool ArrivalFit::fit() {
    if (chunks.empty()) return false;
    const double nominalUs = 1e6 / sampleRate;
    // The earliest chunk of each second, judged against the nominal rate.
    std::vector<Chunk> earliest;
    for (const Chunk& chunk : chunks) {
        const std::int64_t second = chunk.samples / sampleRate;
        const double lead = chunk.arrivalUs - chunk.samples * nominalUs;
        if (earliest.empty() || earliest.back().samples / sampleRate != second)
            earliest.push_back(chunk);
        else if (lead < earliest.back().arrivalUs - earliest.back().samples * nominalUs)
            earliest.back() = chunk;
    }
    if (earliest.size() < 2) return false;
    // Least squares through those, then down to the lowest chunk.
    double meanX = 0, meanY = 0;
    for (const Chunk& chunk : earliest) {
        meanX += double(chunk.samples);
        meanY += double(chunk.arrivalUs);
    }
    meanX /= double(earliest.size());
    meanY /= double(earliest.size());
    double sxy = 0, sxx = 0;
    for (const Chunk& chunk : earliest) {
        sxy += (double(chunk.samples) - meanX) * (double(chunk.arrivalUs) - meanY);
        sxx += (double(chunk.samples) - meanX) * (double(chunk.samples) - meanX);
    }
    usPerSample = sxx > 0 ? sxy / sxx : nominalUs;
    interceptUs = std::numeric_limits<double>::max();
    for (const Chunk& chunk : chunks)
        interceptUs = std::min(interceptUs, double(chunk.arrivalUs) - double(chunk.samples) * usPerSample);
    return true;
}
