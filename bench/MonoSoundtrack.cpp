#include "bench/MonoSoundtrack.h"

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>

#include "audio/MusicStream.h"
#include "base/Soundtrack.h"

std::vector<float> decodeMono(const char* file, int rate) {
    std::unique_ptr<MusicStream> stream = MusicStream::open(file, rate);
    if (!stream) throw std::runtime_error(std::string("cannot decode ") + file);
    stream->seek(0);
    const std::int64_t frames = std::int64_t(stream->lengthMs() + 1000) * rate / 1000;
    std::vector<std::int16_t> block(4096 * mixChannels);
    std::vector<float> mono;
    mono.reserve(size_t(frames));
    while (std::int64_t(mono.size()) < frames) {
        stream->fill(block.data(), 4096);
        for (int i = 0; i < 4096; ++i) mono.push_back(0.5f * (float(block[2 * i]) + float(block[2 * i + 1])));
    }
    return mono;
}
