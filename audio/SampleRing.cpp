#include "audio/SampleRing.h"

#include "base/Soundtrack.h"

#include <algorithm>

namespace {
constexpr int channels = mixChannels;
}  // namespace

SampleRing::SampleRing(int capacityFrames)
    : capacity(capacityFrames), samples(size_t(capacityFrames) * channels) {}

int SampleRing::write(const std::int16_t* in, int frames) {
    const std::uint64_t at = framesWritten.load(std::memory_order_relaxed);
    const int count = std::min(frames, space());
    for (int done = 0; done < count;) {
        const int slot = int((at + std::uint64_t(done)) % std::uint64_t(capacity));
        const int run = std::min(count - done, capacity - slot);
        std::copy_n(in + done * channels, run * channels, samples.begin() + slot * channels);
        done += run;
    }
    framesWritten.store(at + std::uint64_t(count), std::memory_order_release);
    return count;
}

int SampleRing::space() const {
    return capacity - int(framesWritten.load(std::memory_order_relaxed) - framesRead.load(std::memory_order_acquire));
}

int SampleRing::read(std::int16_t* out, int frames) {
    const std::uint64_t at = framesRead.load(std::memory_order_relaxed);
    const int count = std::min(frames, available());
    for (int done = 0; done < count;) {
        const int slot = int((at + std::uint64_t(done)) % std::uint64_t(capacity));
        const int run = std::min(count - done, capacity - slot);
        std::copy_n(samples.begin() + slot * channels, run * channels, out + done * channels);
        done += run;
    }
    framesRead.store(at + std::uint64_t(count), std::memory_order_release);
    return count;
}

int SampleRing::discard(int frames) {
    const int count = std::min(frames, available());
    framesRead.store(framesRead.load(std::memory_order_relaxed) + std::uint64_t(count), std::memory_order_release);
    return count;
}

int SampleRing::available() const {
    return int(framesWritten.load(std::memory_order_acquire) - framesRead.load(std::memory_order_relaxed));
}

void SampleRing::clear() {
    framesWritten.store(0, std::memory_order_relaxed);
    framesRead.store(0, std::memory_order_relaxed);
}
