// How much of the audio callback's time budget decoding takes: one callback
// asks for 1024 frames, 23.2 ms of music at 44100 Hz, and must return well
// within that. Run: build/bench/audio_bench
#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>
#include <vector>

#include "audio/MusicStream.h"
#include "audio/PlayClock.h"
#include "base/Soundtrack.h"
#include "tools/tone/ToneMp3.h"

namespace {

constexpr int rate = mixRate;
constexpr int framesPerCallback = 1024;

std::string toneFile() {
    static const std::string path = [] {
        const std::string file = toneMp3::makeTempDirectory() + "/tone.mp3";
        toneMp3::writeFile(file, toneMp3::encode(30.0));
        return file;
    }();
    return path;
}

void decodeOneCallback(benchmark::State& state) {
    auto stream = MusicStream::open(toneFile().c_str(), rate);
    stream->seek(0);
    std::vector<std::int16_t> buffer(2 * framesPerCallback);
    std::int64_t nowUs = 0;
    for (auto _ : state) {
        stream->fill(buffer.data(), framesPerCallback);
        nowUs += 23220;
        if (nowUs > 29000000) {  // stay inside the music
            state.PauseTiming();
            stream->seek(0);
            nowUs = 0;
            state.ResumeTiming();
        }
        benchmark::DoNotOptimize(buffer.data());
    }
    // Music decoded per second of work: above 1 means faster than real time.
    state.counters["realtime_factor"] = benchmark::Counter(
        double(framesPerCallback) / rate, benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(decodeOneCallback);

// A callback in a long stretch of zeros after the music: the search for the
// next good frame must stay a small part of the 23 ms budget.
void decodeOneCallbackThroughJunk(benchmark::State& state) {
    static const std::string path = [] {
        std::vector<unsigned char> bytes = toneMp3::encode(0.1);
        bytes.resize(bytes.size() + 64 * 1024 * 1024, 0);
        const std::string file = toneMp3::makeTempDirectory() + "/junk.mp3";
        toneMp3::writeFile(file, bytes);
        return file;
    }();
    auto stream = MusicStream::open(path.c_str(), rate);
    stream->seek(0);
    std::vector<std::int16_t> buffer(2 * framesPerCallback);
    for (auto _ : state) {
        stream->fill(buffer.data(), framesPerCallback);
        benchmark::DoNotOptimize(buffer.data());
    }
}
BENCHMARK(decodeOneCallbackThroughJunk);

void openAndCheckAFile(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(MusicStream::open(toneFile().c_str(), rate));
}
BENCHMARK(openAndCheckAFile);

void readThePosition(benchmark::State& state) {
    PlayClock clock(rate);
    clock.reset(0);
    clock.start(0);
    clock.anchor(0, 0);
    std::int64_t nowUs = 0;
    for (auto _ : state) benchmark::DoNotOptimize(clock.positionMs(nowUs += 16000));
}
BENCHMARK(readThePosition);

}  // namespace

BENCHMARK_MAIN();
