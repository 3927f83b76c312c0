// The music clock over a whole real-time run of the soundtrack with the audio
// layer on a real SDL device (scripts/bench.sh sets SDL_AUDIODRIVER=dummy):
//   clock_bench [--series FILE] SOUNDTRACK SECONDS
// A loop paced at 60 frames a second reads the position once a frame, as the
// demo does. Prints "decreases N largest_excess_ms E largest_step_ms S
// interval_ms I drift_ms_per_min D underruns U": how often the position went
// back, the most a step between two frames exceeded the steady time that can
// have passed between them (each reading is bracketed by the steady time
// before and after it), the largest step and the frame interval, the drift of the position
// against the steady clock (least squares over the run), the spread of the
// position against the steady clock (5th to 95th percentile of position minus
// steady time, from a second after it first moved), and the blocks of output
// before the music's end that were not the music itself. --series FILE also
// writes every reading to FILE, one line each after a comment naming the
// columns: the steady time in ms since playback started (halfway between the
// times taken before and after the reading), the position in ms, and the
// position less that steady time, whose percentiles give the spread
// (scripts/plot_bench.py draws them).
//
// SDL_OpenAudio and libpulse's pa_stream_write are wrapped at link time
// (-Wl,--wrap): every block handed to the device is compared with the
// soundtrack decoded beforehand, from the first block of music on (the music
// joins the device's stream once decoded, wherever the clock then stands).
// Through a sound server, pa_stream_get_timing_info is wrapped too: the
// server's own reports of the frames heard, against its timestamps, give the
// device's pace ("device_drift_ms_per_min"; a sound card's clock, and a null
// sink's, runs a little off the system's, and the position follows the
// device) and the spread of the position about that pace
// ("device_spread_ms"); "-" with no server.
#include <SDL.h>
#include <pulse/stream.h>
#include <pulse/timeval.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "audio/Audio.h"
#include "audio/MusicStream.h"
#include "base/Soundtrack.h"

namespace {

constexpr int rate = mixRate;
constexpr int channels = mixChannels;

// What the device was handed, checked against the decoded music.
struct OutputCheck {
    void (*realCallback)(void* userdata, Uint8* out, int bytes) = nullptr;
    std::vector<std::int16_t> music;   // the soundtrack, interleaved stereo
    std::atomic<bool> playing{false};  // set as playback starts
    bool musicFound = false;           // the first block of music has come
    std::uint64_t musicAt = 0;         // the next sample expected, in the music
    std::atomic<int> underruns{0};
};

OutputCheck& check() {
    static OutputCheck state;
    return state;
}

bool silent(const std::int16_t* samples, std::uint64_t count) {
    for (std::uint64_t i = 0; i < count; ++i)
        if (samples[i] != 0) return false;
    return true;
}

// Where in the music's first seconds a block starts, or the music's size.
std::uint64_t findInMusic(const std::int16_t* samples, std::uint64_t count) {
    const std::vector<std::int16_t>& music = check().music;
    const std::uint64_t limit = std::min<std::uint64_t>(music.size(), 5 * rate * channels);
    for (std::uint64_t at = 0; at + count <= limit; at += channels)
        if (std::memcmp(samples, music.data() + at, count * sizeof(std::int16_t)) == 0) return at;
    return music.size();
}

void checkBlock(const void* data, size_t bytes) {
    OutputCheck& state = check();
    if (!state.playing) return;
    const auto* samples = static_cast<const std::int16_t*>(data);
    const auto count = std::uint64_t(bytes) / sizeof(std::int16_t);
    if (!state.musicFound) {
        if (silent(samples, count)) return;  // before the music joins
        state.musicFound = true;
        state.musicAt = findInMusic(samples, count);
    }
    const std::uint64_t from = state.musicAt;
    state.musicAt += count;
    if (from + count > state.music.size()) return;  // the music's end: silence is right
    if (std::memcmp(samples, state.music.data() + from, bytes) != 0) ++state.underruns;
}

void checkedCallback(void* userdata, Uint8* out, int bytes) {
    check().realCallback(userdata, out, bytes);
    checkBlock(out, size_t(bytes));
}

std::vector<std::int16_t> decode(const char* file, std::uint32_t& lengthMs) {
    std::unique_ptr<MusicStream> stream = MusicStream::open(file, rate);
    if (!stream) return {};
    stream->seek(0);
    lengthMs = stream->lengthMs();
    const std::uint64_t frames = std::uint64_t(lengthMs) * rate / 1000;
    std::vector<std::int16_t> music(frames * channels);
    const int block = 4096;
    for (std::uint64_t at = 0; at + block <= frames; at += block) stream->fill(music.data() + at * channels, block);
    music.resize(frames / block * block * channels);  // whole blocks only: the decoder's last partial block is left out
    return music;
}

// Frames the server counted as heard, against its timestamps: one entry per
// fresh report (the audio layer reads each report several times).
struct HeardReport {
    double atS;
    double frame;
};

std::vector<HeardReport>& heardReports() {
    static std::vector<HeardReport> reports;
    return reports;
}

// The slope of y against x by least squares, for (x, y) pairs from `from` on
// (x counted from there: the server's timestamps are 1.8e9 s).
template <typename Pairs, typename X, typename Y>
double slope(const Pairs& pairs, X x, Y y, double from) {
    double n = 0, sx = 0, sy = 0, sxx = 0, sxy = 0;
    const double y0 = pairs.empty() ? 0.0 : y(pairs.front());
    for (const auto& pair : pairs) {
        if (x(pair) < from) continue;
        const double dx = x(pair) - from, dy = y(pair) - y0;
        n += 1;
        sx += dx;
        sy += dy;
        sxx += dx * dx;
        sxy += dx * dy;
    }
    return n > 1 ? (n * sxy - sx * sy) / (n * sxx - sx * sx) : 0.0;
}

// How far the positions wander about a clock keeping `pace` from fromMs on
// (steady ms, position ms readings): 5th to 95th percentile of position minus
// that clock's time.
double spreadAbout(const std::vector<std::pair<double, double>>& readings, double pace, double fromMs) {
    std::vector<double> aheadMs;
    for (const auto& [wallMs, positionMs] : readings)
        if (wallMs >= fromMs) aheadMs.push_back(positionMs - (wallMs - fromMs) * pace);
    if (aheadMs.empty()) return 0.0;
    std::sort(aheadMs.begin(), aheadMs.end());
    return aheadMs[aheadMs.size() * 95 / 100] - aheadMs[aheadMs.size() * 5 / 100];
}

// A report's count is never ahead of the sound and may be behind it (by up to
// a graph cycle through PipeWire, whose count moves once a cycle, 43 ms at
// most): of each tenth of a second's reports, the one furthest ahead of its
// timestamp.
std::vector<HeardReport> furthestAheadEachTenth(const std::vector<HeardReport>& reports) {
    std::vector<HeardReport> kept;
    for (const HeardReport& report : reports) {
        const auto ahead = [](const HeardReport& r) { return r.frame / rate - r.atS; };
        if (!kept.empty() && std::floor(kept.back().atS * 10) == std::floor(report.atS * 10)) {
            if (ahead(report) > ahead(kept.back())) kept.back() = report;
        } else {
            kept.push_back(report);
        }
    }
    return kept;
}

// Every reading as (steady ms, position ms, position less steady ms), one
// line each; false when the file cannot be written.
bool writeSeries(const std::string& path, const std::vector<std::pair<double, double>>& readings) {
    std::ofstream out(path);
    out << "# steady_ms position_ms position_less_steady_ms\n";
    for (const auto& [steadyMs, positionMs] : readings)
        out << steadyMs << ' ' << positionMs << ' ' << positionMs - steadyMs << '\n';
    return bool(out.flush());
}

const char* const usage = "usage: clock_bench [--series FILE] SOUNDTRACK SECONDS\n";

}  // namespace

extern "C" const pa_timing_info* __real_pa_stream_get_timing_info(pa_stream* stream);
extern "C" const pa_timing_info* __wrap_pa_stream_get_timing_info(pa_stream* stream) {
    const pa_timing_info* timing = __real_pa_stream_get_timing_info(stream);
    if (timing == nullptr || !timing->playing || timing->read_index_corrupt) return timing;
    const double atS = double(pa_timeval_load(&timing->timestamp)) / 1e6;
    const double frame =
        double(timing->read_index) / (channels * sizeof(std::int16_t)) - double(timing->sink_usec) * rate / 1e6;
    std::vector<HeardReport>& reports = heardReports();
    if (reports.empty() || atS > reports.back().atS) reports.push_back({atS, frame});
    return timing;
}

extern "C" int __real_SDL_OpenAudio(SDL_AudioSpec* desired, SDL_AudioSpec* obtained);
extern "C" int __wrap_SDL_OpenAudio(SDL_AudioSpec* desired, SDL_AudioSpec* obtained) {
    check().realCallback = desired->callback;
    desired->callback = &checkedCallback;
    return __real_SDL_OpenAudio(desired, obtained);
}

extern "C" int __real_pa_stream_write(pa_stream* stream, const void* data, size_t bytes, pa_free_cb_t freeData,
                                      std::int64_t offset, pa_seek_mode_t seek);
extern "C" int __wrap_pa_stream_write(pa_stream* stream, const void* data, size_t bytes, pa_free_cb_t freeData,
                                      std::int64_t offset, pa_seek_mode_t seek) {
    checkBlock(data, bytes);
    return __real_pa_stream_write(stream, data, bytes, freeData, offset, seek);
}

int main(int argc, char** argv) {
    if (argc == 2 && std::strcmp(argv[1], "--help") == 0) {
        std::printf("%s", usage);
        return 0;
    }
    std::string seriesPath;
    if (argc == 5 && std::strcmp(argv[1], "--series") == 0) {
        seriesPath = argv[2];
        argv += 2;
        argc -= 2;
    }
    if (argc != 3) {
        std::fprintf(stderr, "%s", usage);
        return 2;
    }
    std::uint32_t lengthMs = 0;
    check().music = decode(argv[1], lengthMs);
    if (check().music.empty()) {
        std::printf("ERROR: cannot decode %s\n", argv[1]);
        return 1;
    }
    const double seconds = std::atof(argv[2]);
    if (!audio::init(rate)) {
        std::printf("ERROR: no sound device\n");
        return 1;
    }
    MusicStream* stream = audio::openStream(argv[1]);
    audio::setStreamTime(stream, 0);

    using Clock = std::chrono::steady_clock;
    const auto interval = std::chrono::microseconds(16667);
    audio::playStream(stream);
    check().playing = true;
    const Clock::time_point start = Clock::now();
    const double startWallS = std::chrono::duration<double>(std::chrono::system_clock::now().time_since_epoch()).count();

    // Each reading is bracketed by the steady time just before and just
    // after it: the position belongs to a moment in between.
    std::vector<double> beforeMs, afterMs, positionMs;
    const auto sinceStartMs = [start](Clock::time_point t) {
        return std::chrono::duration<double, std::milli>(t - start).count();
    };
    Clock::time_point next = start;
    while (Clock::now() - start < std::chrono::duration<double>(seconds)) {
        next += interval;
        std::this_thread::sleep_until(next);
        const Clock::time_point before = Clock::now();
        const std::uint32_t position = audio::streamTime(stream);
        const Clock::time_point after = Clock::now();
        beforeMs.push_back(sinceStartMs(before));
        afterMs.push_back(sinceStartMs(after));
        positionMs.push_back(position);
    }
    audio::close();

    int decreases = 0;
    double largestExcess = -1e9, largestStep = 0, largestExcessAtMs = 0;
    for (size_t i = 1; i < positionMs.size(); ++i) {
        if (positionMs[i] < positionMs[i - 1]) ++decreases;
        largestStep = std::max(largestStep, positionMs[i] - positionMs[i - 1]);
        // The most steady time that can have passed between the two readings:
        // from just before the first to just after the second. A step beyond
        // it is a jump of the clock, whatever the scheduler did to the loop.
        const double mostElapsed = afterMs[i] - beforeMs[i - 1];
        const double excess = (positionMs[i] - positionMs[i - 1]) - mostElapsed;
        if (excess > largestExcess) {
            largestExcess = excess;
            largestExcessAtMs = positionMs[i];
        }
    }
    // Drift: the slope of position against steady time, from a second after
    // the position first moved on (it waits for the device and the output
    // delay at the start).
    double movedAtMs = -1;
    for (size_t i = 0; i < positionMs.size() && movedAtMs < 0; ++i)
        if (positionMs[i] > 0) movedAtMs = beforeMs[i];
    std::vector<std::pair<double, double>> readings;  // (steady ms, position ms)
    for (size_t i = 0; i < positionMs.size(); ++i) readings.emplace_back(0.5 * (beforeMs[i] + afterMs[i]), positionMs[i]);
    const auto first = [](const std::pair<double, double>& pair) { return pair.first; };
    const auto second = [](const std::pair<double, double>& pair) { return pair.second; };
    const double positionSlope = movedAtMs < 0 ? 1.0 : slope(readings, first, second, movedAtMs + 1000);
    // The device's own pace over the same stretch of the run, by the server's
    // clock (the wall clock, which keeps the steady clock's pace here).
    const std::vector<HeardReport> reports = furthestAheadEachTenth(heardReports());
    const double fromS = startWallS + (movedAtMs + 1000) / 1000;
    const double frameRate = slope(
        reports, [](const HeardReport& report) { return report.atS; },
        [](const HeardReport& report) { return report.frame; }, fromS);
    const bool devicePaced = reports.size() > 10 && frameRate > 0;
    const double devicePace = devicePaced ? frameRate / rate : 1.0;
    char deviceDrift[32] = "-", deviceSpread[32] = "-";
    if (devicePaced) {
        std::snprintf(deviceDrift, sizeof deviceDrift, "%.2f", (devicePace - 1.0) * 60000.0);
        std::snprintf(deviceSpread, sizeof deviceSpread, "%.2f", spreadAbout(readings, devicePace, movedAtMs + 1000));
    }
    if (!seriesPath.empty() && !writeSeries(seriesPath, readings)) {
        std::printf("ERROR: cannot write the series to %s\n", seriesPath.c_str());
        return 1;
    }
    std::printf("decreases %d largest_excess_ms %.2f at_position_ms %.0f largest_step_ms %.2f interval_ms %.2f "
                "drift_ms_per_min %.2f spread_ms %.2f underruns %d frames %zu music_ms %u first_moved_ms %.0f "
                "device_drift_ms_per_min %s device_spread_ms %s\n",
                decreases, largestExcess, largestExcessAtMs, largestStep, 16.667, (positionSlope - 1.0) * 60000.0,
                movedAtMs < 0 ? 0.0 : spreadAbout(readings, 1.0, movedAtMs + 1000), check().underruns.load(),
                positionMs.size(), lengthMs, movedAtMs, deviceDrift, deviceSpread);
    return 0;
}
