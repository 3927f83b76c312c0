#pragma once

#include <cstdint>
#include <vector>

// When each sample of a recording was captured, from when the chunks holding
// it arrived. A chunk arrives after its last sample was captured, never
// before, and only sometimes promptly, so capture time is the lower envelope
// of (samples so far, arrival time): a line fitted through the earliest
// arrival of every second, then lowered until no chunk arrives before it.
class ArrivalFit {
public:
    explicit ArrivalFit(int sampleRate) : sampleRate(sampleRate) {}

    // A chunk that brought the sample count to samplesSoFar arrived at
    // arrivalUs (steady clock).
    void add(std::int64_t samplesSoFar, std::int64_t arrivalUs);

    // Fits the envelope; false with fewer than two seconds of chunks.
    bool fit();

    // The steady-clock time at which sample `index` was captured.
    double captureUs(double index) const { return interceptUs + index * usPerSample; }

    double microsecondsPerSample() const { return usPerSample; }

private:
    struct Chunk {
        std::int64_t samples;
        std::int64_t arrivalUs;
    };

    int sampleRate;
    std::vector<Chunk> chunks;
    double interceptUs = 0;
    double usPerSample = 0;
};
