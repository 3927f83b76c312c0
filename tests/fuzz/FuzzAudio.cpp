// libFuzzer target for the audio layer: arbitrary bytes go through a
// MusicTrack the way the demo and its sound device use it: open, length,
// seek (which starts the decode-ahead thread), start, many renders with the
// device's reports of when they are heard (on past the end of the music), the
// play position, and a second seek. Beyond the sanitizers' findings it checks
// what the demo relies on: nothing is written outside the device's buffer,
// and the position stands still before start, never goes back, and runs on
// with the frames heard, whatever the bytes hold.
#include <fuzzer/FuzzedDataProvider.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "audio/MusicTrack.h"

namespace {

constexpr int mixRates[] = {44100, 48000, 22050, 8000};
constexpr int maxChunkFrames = 4096;
constexpr std::int64_t phaseUs = 800000;  // output asked for after each seek, past the end of a short file
constexpr std::uint32_t clockToleranceMs = 1;

// Feedback for the fuzzer about what the decoder made of the input. libmpg123
// comes from the distribution without coverage instrumentation, so without
// these counters an input that opens, or one that decodes further, would look
// no different from one rejected at once. libFuzzer reads this section as
// extra coverage.
__attribute__((section("__libfuzzer_extra_counters"))) std::uint8_t decoderFeatures[96];

enum Feature { opened = 0, lengthBucket = 1, soundChunksBucket = 33, lateSound = 65, rateOpened = 66 };

int log2Bucket(std::uint64_t value) {
    int bucket = 0;
    while (value > 1 && bucket < 31) {
        value >>= 1;
        ++bucket;
    }
    return bucket;
}

void require(bool holds, const char* what) {
    if (holds) return;
    std::fprintf(stderr, "fuzz_audio: %s\n", what);
    std::abort();
}

// The bytes as a file that MusicStream can open by name. The same descriptor
// number comes back on every run unless a stream leaked its file.
class MemoryFile {
public:
    explicit MemoryFile(const std::vector<std::uint8_t>& bytes) : fd(memfd_create("fuzz_audio", 0)) {
        require(fd >= 0, "memfd_create failed");
        size_t written = 0;
        while (written < bytes.size()) {
            const ssize_t result = write(fd, bytes.data() + written, bytes.size() - written);
            require(result > 0, "cannot write the input file");
            written += size_t(result);
        }
        static const int firstFd = fd;
        require(fd == firstFd, "a file descriptor leaked from an earlier run");
    }
    ~MemoryFile() { close(fd); }
    MemoryFile(const MemoryFile&) = delete;
    MemoryFile& operator=(const MemoryFile&) = delete;

    std::string path() const { return "/proc/self/fd/" + std::to_string(fd); }

private:
    int fd;
};

bool hasSound(const std::vector<std::int16_t>& samples, int count) {
    for (int i = 0; i < count; ++i)
        if (samples[size_t(i)] != 0) return true;
    return false;
}

// Seeks, starts and plays phaseUs of output in device-sized chunks, each
// heard as it is handed out, checking the position between renders. Returns
// the number of chunks that held any sound.
int playPhase(MusicTrack& track, int mixRate, std::uint32_t seekMs, int chunkFrames, std::int64_t startUs) {
    track.seek(seekMs);
    require(track.positionMs(startUs) == seekMs, "the position moved before start");
    require(track.positionMs(startUs + 5000000) == seekMs, "the position moved before start");
    track.start(startUs);

    // Exactly the frames asked for, so any write past them is a heap overflow.
    std::vector<std::int16_t> chunk(size_t(chunkFrames) * 2);
    std::uint64_t framesOut = 0;
    int soundChunks = 0;
    std::uint32_t lastPositionMs = seekMs;
    while (true) {
        const std::int64_t elapsedUs = std::int64_t(framesOut * 1000000 / std::uint64_t(mixRate));
        if (elapsedUs >= phaseUs) break;
        // Now and then the device waits, so that the feed's thread gets ahead.
        if (framesOut % 8 == 0) std::this_thread::yield();
        track.render(chunk.data(), chunkFrames, framesOut, startUs + elapsedUs);
        track.heard(framesOut, startUs + elapsedUs);
        if (hasSound(chunk, chunkFrames * 2)) ++soundChunks;
        framesOut += std::uint64_t(chunkFrames);

        const std::int64_t chunkUs = std::int64_t(std::uint64_t(chunkFrames) * 1000000 / std::uint64_t(mixRate));
        const std::int64_t askedUs = elapsedUs + chunkUs / 2;
        const std::uint32_t position = track.positionMs(startUs + askedUs);
        require(position >= lastPositionMs, "the position went back");
        require(position <= seekMs + std::uint32_t(askedUs / 1000) + clockToleranceMs,
                "the position ran ahead of the frames heard");
        lastPositionMs = position;
    }
    return soundChunks;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    // Parameters come from the end of the input, so any MP3 file is a
    // meaningful input as it stands.
    const int rateIndex = input.ConsumeIntegralInRange<int>(0, 3);
    const int chunkFrames = input.ConsumeIntegralInRange<int>(1, maxChunkFrames);
    const std::uint32_t firstSeek = input.ConsumeIntegral<std::uint16_t>();
    const std::uint32_t secondSeek = input.ConsumeIntegral<std::uint16_t>();
    const MemoryFile file(input.ConsumeRemainingBytes<std::uint8_t>());

    const int mixRate = mixRates[rateIndex];
    std::unique_ptr<MusicStream> stream = MusicStream::open(file.path().c_str(), mixRate);
    if (!stream) return 0;
    decoderFeatures[opened] = 1;
    decoderFeatures[rateOpened + rateIndex] = 1;

    // Seek targets around the music's length, so seeks land inside it, at its
    // end and past it.
    const std::uint32_t lengthMs = stream->lengthMs();
    decoderFeatures[lengthBucket + log2Bucket(lengthMs)] = 1;
    const std::uint64_t seekRange = std::uint64_t(lengthMs) + 2000;
    const auto firstMs = std::uint32_t(firstSeek % seekRange);
    const auto secondMs = std::uint32_t(secondSeek % seekRange);
    MusicTrack track(std::move(stream), mixRate, mixRate, true);
    const int firstSound = playPhase(track, mixRate, firstMs, chunkFrames, 1000000);
    decoderFeatures[soundChunksBucket + log2Bucket(std::uint64_t(firstSound))] = 1;
    const int secondSound = playPhase(track, mixRate, secondMs, chunkFrames, 9000000);
    if (secondSound > 0) decoderFeatures[lateSound] = 1;
    return 0;
}
