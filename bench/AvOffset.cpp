// How far the sound heard lags the music position the demo reports, through
// a real sound server. Run inside an X server and a PulseAudio whose only sink
// is a null sink (scripts/bench.sh sets both up), from a directory holding
// Quietfall.MP3:
//   av_offset DEMO SOUNDTRACK SECONDS SINK
// It records SINK's monitor with parec (on the real-time scheduler where
// permitted), stamping every chunk with the steady clock, runs DEMO with SDL's
// pulse driver, presses Space a few times and reads the positions the demo
// writes, stamped as they arrive. The recording
// is placed against the decoded soundtrack by cross-correlation, which gives
// the time each reported position was heard. Prints one line per press and a
// summary: "offset_ms MEDIAN min MIN max MAX presses N unmatched U correlation
// LOWEST sink_rate_hz R" (the rate the sink played at by the steady clock);
// a positive offset means the sound comes after the position.
#include <poll.h>
#include <sched.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "base/Soundtrack.h"
#include "base/Window.h"
#include "bench/ArrivalFit.h"
#include "bench/MonoSoundtrack.h"
#include "bench/SoundMatch.h"
#include "bench/WatchedProgram.h"

namespace {

constexpr int rate = mixRate;
constexpr int channels = mixChannels;

std::int64_t steadyUs() {
    using namespace std::chrono;
    return duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count();
}

struct Report {
    std::uint32_t positionMs;
    std::int64_t arrivalUs;
};

// Reads the recorder's chunks and the demo's lines as they come.
class Session {
public:
    Session(WatchedProgram& recorder, WatchedProgram& demo, ArrivalFit& fit) : recorder(recorder), demo(demo), fit(fit) {}

    // Reads what comes until untilUs.
    void readUntil(std::int64_t untilUs) {
        while (true) {
            const std::int64_t now = steadyUs();
            if (now >= untilUs) return;
            pollfd fds[2] = {{recorder.output(), POLLIN, 0}, {demoOpen ? demo.output() : -1, POLLIN, 0}};
            const int timeoutMs = int(std::min<std::int64_t>(50, (untilUs - now) / 1000 + 1));
            if (poll(fds, 2, timeoutMs) <= 0) continue;
            if (fds[0].revents != 0) readRecording();
            if (fds[1].revents != 0) readDemo();
        }
    }

    const std::vector<float>& recording() const { return mono; }
    const std::vector<Report>& reports() const { return positions; }
    const std::string& demoOutput() const { return allOutput; }

private:
    void readRecording() {
        char buffer[65536];
        const ssize_t got = read(recorder.output(), buffer, sizeof buffer);
        const std::int64_t now = steadyUs();
        if (got <= 0) return;
        pending.append(buffer, size_t(got));
        const size_t frameBytes = channels * sizeof(std::int16_t);
        const size_t whole = pending.size() / frameBytes * frameBytes;
        for (size_t at = 0; at < whole; at += frameBytes) {
            std::int16_t left, right;
            std::copy_n(pending.data() + at, 2, reinterpret_cast<char*>(&left));
            std::copy_n(pending.data() + at + 2, 2, reinterpret_cast<char*>(&right));
            mono.push_back(0.5f * (float(left) + float(right)));
        }
        pending.erase(0, whole);
        fit.add(std::int64_t(mono.size()), now);
    }

    void readDemo() {
        char buffer[4096];
        const ssize_t got = read(demo.output(), buffer, sizeof buffer);
        const std::int64_t now = steadyUs();
        if (got <= 0) {
            demoOpen = false;
            return;
        }
        allOutput.append(buffer, size_t(got));
        line.append(buffer, size_t(got));
        size_t end;
        while ((end = line.find('\n')) != std::string::npos) {
            const std::string text = line.substr(0, end);
            line.erase(0, end + 1);
            if (!text.empty() && text.find_first_not_of("0123456789") == std::string::npos)
                positions.push_back({std::uint32_t(std::stoul(text)), now});
        }
    }

    WatchedProgram& recorder;
    WatchedProgram& demo;
    ArrivalFit& fit;
    bool demoOpen = true;
    std::string pending;
    std::string line;
    std::string allOutput;
    std::vector<float> mono;
    std::vector<Report> positions;
};

// Presses a key without waiting, so that lines keep being stamped as they
// arrive; the presses are reaped at the end.
void sendKey(std::vector<std::unique_ptr<WatchedProgram>>& keys, const char* key) {
    keys.push_back(std::make_unique<WatchedProgram>(std::vector<std::string>{"xdotool", "key", key}, false));
}

// PipeWire's pulse server drops what a starved recorder has not taken in time
// (the demo and llvmpipe fill both cores): 0.1 to 1.7 % of the samples were
// lost, and the recording's timing with them. So the recorder, and this
// program, which reads and stamps what it records, go on the real-time
// scheduler: this program first, and the recorder started next inherits it;
// then with `childrenToo` false, so that programs started after run as usual.
bool runAheadOfOthers(bool childrenToo) {
    sched_param priority{};
    priority.sched_priority = 20;
    return sched_setscheduler(0, SCHED_FIFO | (childrenToo ? 0 : SCHED_RESET_ON_FORK), &priority) == 0;
}

int measure(const char* demoPath, const char* soundtrack, double seconds, const std::string& sink) {
    const std::vector<float> reference = decodeMono(soundtrack, rate);
    setenv("SDL_AUDIODRIVER", "pulse", 1);
    const bool ahead = runAheadOfOthers(true);
    WatchedProgram recorder({"parec", "--raw", "--format=s16le", "--rate=" + std::to_string(rate), "--channels=" + std::to_string(channels), "--latency-msec=2",
                           "-d", sink + ".monitor"},
                          true);
    if (!ahead || !runAheadOfOthers(false))
        std::cerr << "av_offset: the recording runs at normal priority; on a busy machine it may lose samples\n";
    ArrivalFit fit(rate);
    WatchedProgram demo({demoPath}, true);
    Session session(recorder, demo, fit);
    std::vector<std::unique_ptr<WatchedProgram>> keys;
    const std::int64_t startUs = steadyUs();
    {
        WatchedProgram focus({"xdotool", "search", "--sync", "--name", windowTitle, "windowfocus", "--sync"}, false);
        while (focus.running()) session.readUntil(steadyUs() + 20000);
    }
    // Presses from 3 s on, spread over the run; each line is stamped as it
    // arrives, which is just after the demo read the position it writes.
    const int presses = 8;
    const double firstS = 3.0;
    const double gapS = std::max(0.5, (seconds - firstS - 1.0) / presses);
    for (int press = 0; press < presses; ++press) {
        session.readUntil(startUs + std::int64_t((firstS + press * gapS) * 1e6));
        sendKey(keys, "space");
    }
    session.readUntil(startUs + std::int64_t((firstS + presses * gapS + 0.5) * 1e6));
    sendKey(keys, "Escape");
    session.readUntil(steadyUs() + 1500000);
    for (const auto& key : keys) key->wait();
    const int demoStatus = demo.stop();
    recorder.stop();
    if (demoStatus != 0) {
        std::cout << "the demo exited with status " << demoStatus << ": " << session.demoOutput() << "\n";
        return 1;
    }
    if (!fit.fit()) {
        std::cout << "the recording is too short\n";
        return 1;
    }

    const std::int64_t window = rate / 4;        // 250 ms compared
    const std::int64_t searchRadius = rate / 5;  // within 200 ms of the guess
    // A stretch that matches less than this is not the same sound: the demo
    // or the recorder lost samples there (an underrun), and it is left out.
    const double sameSound = 0.99;
    std::vector<double> offsets;
    int unmatched = 0;
    double lowestCorrelation = 1;
    const SoundMatch match(reference, session.recording());
    for (const Report& report : session.reports()) {
        const std::int64_t musicIndex = std::int64_t(report.positionMs) * rate / 1000;
        const auto guess = std::int64_t((double(report.arrivalUs) - fit.captureUs(0)) / fit.microsecondsPerSample());
        const SoundMatch::Found found = match.find(musicIndex, guess, window, searchRadius);
        if (found.recordingIndex < 0 || found.correlation < sameSound) {
            std::printf("position %u ms not found in the recording (best correlation %.4f)\n", report.positionMs,
                        found.correlation);
            ++unmatched;
            continue;
        }
        const double offsetMs = (fit.captureUs(double(found.recordingIndex)) - double(report.arrivalUs)) / 1000.0;
        std::printf("position %u ms heard %+.2f ms after it was reported (correlation %.4f)\n", report.positionMs,
                    offsetMs, found.correlation);
        offsets.push_back(offsetMs);
        lowestCorrelation = std::min(lowestCorrelation, found.correlation);
    }
    if (offsets.empty()) {
        std::cout << "no reported position was found in the recording\n";
        return 1;
    }
    std::vector<double> sorted = offsets;
    std::sort(sorted.begin(), sorted.end());
    const double median = sorted[sorted.size() / 2];
    std::printf("offset_ms %.2f min %.2f max %.2f presses %zu unmatched %d correlation %.4f sink_rate_hz %.1f\n",
                median, sorted.front(), sorted.back(), sorted.size(), unmatched, lowestCorrelation,
                1e6 / fit.microsecondsPerSample());
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 5) {
        std::cerr << "usage: av_offset DEMO SOUNDTRACK SECONDS SINK\n";
        return 2;
    }
    try {
        return measure(argv[1], argv[2], std::atof(argv[3]), argv[4]);
    } catch (const std::exception& error) {
        std::cout << "av_offset: " << error.what() << "\n";
        return 1;
    }
}
