// How far the web page's pictures are from its sound, from what
// tests/web/benchmark.js recorded while a browser played the page into a
// null sink:
//   web_av_offset SOUNDTRACK RECORDING STAMPS FRAMES
// RECORDING is the sink's monitor as sink_recorder wrote it (mono, native
// 32-bit floats at 44100 Hz) and STAMPS its lines "SAMPLE HEARD_US": when the
// sound server says that sample was heard; FRAMES a line "POSITION_MS
// SHOWN_US DRAWN_US" per frame the page drew: the music position, when the
// frame was shown and when it was drawn. Times are steady-clock
// (CLOCK_MONOTONIC) microseconds. Stretches of the soundtrack spread over the
// show are placed in the recording by cross-correlation, which gives when
// each music position was heard (between two of them, in a straight line);
// each frame's offset is when its position was heard less when it was shown.
// Prints "offset_ms MEDIAN p5 P5 p95 P95 spread SPREAD frames N interval_ms I
// drawn_offset_ms D anchors A unknown U correlation C sink_rate_hz R
// stamp_scatter_ms SC": over the N frames whose position was heard at its
// pace (U were not), the median, 5th and 95th percentiles of the offset, and
// of the offset from when the frame was drawn (a positive offset means the
// sound comes after the picture); SC how far the server's stamps lie from
// the times taken for their samples (99th percentile).
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "base/Soundtrack.h"
#include "bench/MonoSoundtrack.h"
#include "bench/SoundMatch.h"
#include "bench/StampFit.h"

namespace {

constexpr int rate = mixRate;

struct Frame {
    double positionMs;
    double shownUs;
    double drawnUs;
};

// When a music position was heard.
struct Anchor {
    double positionMs;
    double heardUs;
};

std::vector<float> readRecording(const char* file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) throw std::runtime_error(std::string("cannot read ") + file);
    std::vector<float> mono;
    float sample;
    while (in.read(reinterpret_cast<char*>(&sample), sizeof sample)) mono.push_back(sample);
    return mono;
}

std::vector<ServerRecorder::Stamp> readStamps(const char* file) {
    std::ifstream in(file);
    if (!in) throw std::runtime_error(std::string("cannot read ") + file);
    std::vector<ServerRecorder::Stamp> stamps;
    ServerRecorder::Stamp stamp;
    while (in >> stamp.sample >> stamp.heardUs) stamps.push_back(stamp);
    return stamps;
}

std::vector<Frame> readFrames(const char* file) {
    std::ifstream in(file);
    if (!in) throw std::runtime_error(std::string("cannot read ") + file);
    std::vector<Frame> frames;
    Frame frame;
    while (in >> frame.positionMs >> frame.shownUs >> frame.drawnUs) frames.push_back(frame);
    return frames;
}

// The value at fraction q of the sorted values.
double percentile(std::vector<double> values, double q) {
    std::sort(values.begin(), values.end());
    return values[std::min(values.size() - 1, size_t(q * double(values.size())))];
}

// Stretches of music from 2 s on, one every `stepMs` up to `lastMs`, found in
// the recording: near where the previous one was heard, or failing that near
// where the first frame showing them was shown.
std::vector<Anchor> findAnchors(const SoundMatch& match, const StampFit& fit, const std::vector<Frame>& frames,
                                double lastMs, double stepMs, double& lowestCorrelation) {
    const std::int64_t window = rate / 10;  // 100 ms compared
    const double sameSound = 0.99;          // less is not the same sound (silence, a dropout)
    std::vector<Anchor> anchors;
    for (double positionMs = 2000; positionMs <= lastMs; positionMs += stepMs) {
        const std::int64_t musicIndex = std::int64_t(positionMs * rate / 1000);
        SoundMatch::Found found;
        if (!anchors.empty()) {
            const double expectedUs = anchors.back().heardUs + (positionMs - anchors.back().positionMs) * 1000;
            const auto guess = std::int64_t((expectedUs - fit.heardUs(0)) / fit.microsecondsPerSample());
            found = match.find(musicIndex, guess, window, rate / 50);
        }
        if (found.correlation < sameSound) {
            const auto first = std::find_if(frames.begin(), frames.end(),
                                            [&](const Frame& frame) { return frame.positionMs >= positionMs; });
            if (first == frames.end()) break;
            const auto guess = std::int64_t((first->shownUs - fit.heardUs(0)) / fit.microsecondsPerSample());
            found = match.find(musicIndex, guess, window, rate / 4);
        }
        if (found.recordingIndex < 0 || found.correlation < sameSound) continue;
        anchors.push_back({positionMs, fit.heardUs(double(found.recordingIndex))});
        lowestCorrelation = std::min(lowestCorrelation, found.correlation);
    }
    return anchors;
}

// When the music at positionMs was heard, between the two anchors around it;
// false outside them, or where the sound between them did not play at its
// pace (it dropped out or was held up), as then it is unknown.
bool heardAt(const std::vector<Anchor>& anchors, double positionMs, double& heardUs) {
    const auto after = std::upper_bound(anchors.begin(), anchors.end(), positionMs,
                                        [](double position, const Anchor& anchor) { return position < anchor.positionMs; });
    if (after == anchors.begin() || after == anchors.end()) return false;
    const Anchor& before = *(after - 1);
    const double spanMs = after->positionMs - before.positionMs;
    const double heardSpanMs = (after->heardUs - before.heardUs) / 1000;
    if (std::abs(heardSpanMs - spanMs) > 2) return false;
    heardUs = before.heardUs + (positionMs - before.positionMs) / spanMs * (after->heardUs - before.heardUs);
    return true;
}

int measure(const char* soundtrack, const char* recordingFile, const char* stampsFile, const char* framesFile) {
    const std::vector<float> reference = decodeMono(soundtrack, rate);
    const std::vector<float> recording = readRecording(recordingFile);
    StampFit fit(rate);
    const bool fitted = fit.fit(readStamps(stampsFile));
    const std::vector<Frame> frames = readFrames(framesFile);
    if (!fitted || frames.size() < 10) {
        std::cout << "the recording or the show is too short\n";
        return 1;
    }
    const double musicMs = double(reference.size()) * 1000 / rate - 1000;
    const double lastMs = std::min(musicMs, frames.back().positionMs) - 500;
    double lowestCorrelation = 1;
    const SoundMatch match(reference, recording);
    const std::vector<Anchor> anchors = findAnchors(match, fit, frames, lastMs, 500, lowestCorrelation);

    std::vector<double> shown, drawn, intervals;
    int unknown = 0;
    for (size_t i = 0; i < frames.size(); ++i) {
        const Frame& frame = frames[i];
        if (i > 0) intervals.push_back((frame.shownUs - frames[i - 1].shownUs) / 1000);
        if (frame.positionMs < 2000 || frame.positionMs > lastMs) continue;
        double heardUs;
        if (!heardAt(anchors, frame.positionMs, heardUs)) {
            ++unknown;
            continue;
        }
        shown.push_back((heardUs - frame.shownUs) / 1000);
        drawn.push_back((heardUs - frame.drawnUs) / 1000);
    }
    if (shown.empty()) {
        std::cout << "no frame's position was found in the recording (" << anchors.size() << " places found)\n";
        return 1;
    }
    const double p5 = percentile(shown, 0.05);
    const double p95 = percentile(shown, 0.95);
    std::printf("offset_ms %.2f p5 %.2f p95 %.2f spread %.2f frames %zu interval_ms %.2f drawn_offset_ms %.2f "
                "anchors %zu unknown %d correlation %.4f sink_rate_hz %.1f stamp_scatter_ms %.3f\n",
                percentile(shown, 0.5), p5, p95, p95 - p5, shown.size(), percentile(intervals, 0.5),
                percentile(drawn, 0.5), anchors.size(), unknown, lowestCorrelation, 1e6 / fit.microsecondsPerSample(),
                fit.stampScatterUs() / 1000);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 5) {
        std::cerr << "usage: web_av_offset SOUNDTRACK RECORDING STAMPS FRAMES\n";
        return 2;
    }
    try {
        return measure(argv[1], argv[2], argv[3], argv[4]);
    } catch (const std::exception& error) {
        std::cout << "web_av_offset: " << error.what() << "\n";
        return 1;
    }
}
