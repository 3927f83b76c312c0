#pragma once

#include <atomic>
#include <cstdint>
#include <vector>

// A fixed ring of stereo 16-bit frames between one writing thread and one
// reading thread. Neither side waits, locks or allocates: each only moves its
// own counter on, and sees the other's through an atomic.
class SampleRing {
public:
    explicit SampleRing(int capacityFrames);

    // Writer: copies up to `frames` frames in and returns how many fitted.
    int write(const std::int16_t* in, int frames);
    int space() const;

    // Reader: copies up to `frames` frames out, or drops them, and returns how
    // many there were.
    int read(std::int16_t* out, int frames);
    int discard(int frames);
    int available() const;

    // Empties the ring while neither side uses it.
    void clear();

private:
    int capacity;
    std::vector<std::int16_t> samples;
    std::atomic<std::uint64_t> framesWritten{0};
    std::atomic<std::uint64_t> framesRead{0};
};
