// How far the sound heard lags the music position a player reports, through
// a real sound server. Run inside an X server and a PulseAudio or PipeWire
// whose default sink is a null sink (scripts/bench.sh sets both up), from a
// directory holding Quietfall.MP3:
//   av_offset PLAYER SOUNDTRACK SECONDS SINK pulseaudio|pipewire [READINGS]
// PLAYER is the demo, run with SDL's pulse driver, whose positions are read
// by pressing Space and stamped as its lines arrive; wine:EXE, tidewash.exe
// the same way under Wine (WASAPI through Wine's PulseAudio driver, with
// the environment's WINEPREFIX); or mpv:OUTPUT (mpv
// --ao=OUTPUT playing SOUNDTRACK), asked for its audio-pts over its IPC
// socket and stamped halfway between asking and the answer. READINGS
// (default 8) are taken from 3 s on, spread over the run.
// SINK's monitor is recorded twice, both on the real-time scheduler where
// permitted: in this process through the server's own client library, each
// stretch stamped with the time the server says it was heard (libpulse's
// record timing, or PipeWire's stream time of the cycle that delivered it);
// and, as before, by parec, every chunk stamped as it arrives. Each recording
// is placed against the decoded soundtrack by cross-correlation, which gives
// the time each reported position was heard. Prints one line per reading and
// a summary: "offset_ms MEDIAN min MIN max MAX spread_ms S readings N
// unmatched U correlation LOWEST sink_rate_hz R arrival_offset_ms A
// arrival_spread_ms AS recorder_delay_ms D stamp_scatter_ms SC missed_cycles
// M", the first figures from the
// server-stamped recording, arrival_* from parec's (the rate is the sink's by
// the steady clock, D the delay PipeWire reported to its recorder, SC how far
// the server's stamps lie from the times taken for their samples, M the
// cycles that brought PipeWire's recorder nothing); a
// positive offset means the sound comes after the position.
#include <poll.h>

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "audio/SteadyTime.h"
#include "base/Soundtrack.h"
#include "base/Window.h"
#include "bench/ArrivalFit.h"
#include "bench/MonoSoundtrack.h"
#include "bench/MpvPlayer.h"
#include "bench/PipeWireRecorder.h"
#include "bench/RunAhead.h"
#include "bench/SoundMatch.h"
#include "bench/StampFit.h"
#include "bench/WatchedProgram.h"

namespace {

constexpr int rate = mixRate;
constexpr int channels = mixChannels;

struct Report {
    double positionMs;
    std::int64_t arrivalUs;
};

// Reads the recorder's chunks and the demo's lines as they come.
class Session {
public:
    Session(WatchedProgram& recorder, ServerRecorder& server, WatchedProgram* demo, ArrivalFit& fit)
        : recorder(recorder), server(server), demo(demo), fit(fit) {}

    // Reads what comes until untilUs.
    void readUntil(std::int64_t untilUs) {
        while (true) {
            const std::int64_t now = steadyTimeUs();
            if (now >= untilUs) return;
            server.take(stamped, stamps);
            pollfd fds[2] = {{recorder.output(), POLLIN, 0}, {demo != nullptr && demoOpen ? demo->output() : -1, POLLIN, 0}};
            const int timeoutMs = int(std::min<std::int64_t>(50, (untilUs - now) / 1000 + 1));
            if (poll(fds, 2, timeoutMs) <= 0) continue;
            if (fds[0].revents != 0) readRecording();
            if (fds[1].revents != 0) readDemo();
        }
    }

    void add(const Report& report) { positions.push_back(report); }

    const std::vector<float>& recording() const { return mono; }
    const std::vector<float>& serverRecording() const { return stamped; }
    const std::vector<ServerRecorder::Stamp>& serverStamps() const { return stamps; }
    const std::vector<Report>& reports() const { return positions; }
    const std::string& demoOutput() const { return allOutput; }

private:
    void readRecording() {
        char buffer[65536];
        const ssize_t got = read(recorder.output(), buffer, sizeof buffer);
        const std::int64_t now = steadyTimeUs();
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
        const ssize_t got = read(demo->output(), buffer, sizeof buffer);
        const std::int64_t now = steadyTimeUs();
        if (got <= 0) {
            demoOpen = false;
            return;
        }
        allOutput.append(buffer, size_t(got));
        line.append(buffer, size_t(got));
        size_t end;
        while ((end = line.find('\n')) != std::string::npos) {
            // A Windows program's console ends its lines with "\r\n".
            const std::string text = line.substr(0, end > 0 && line[end - 1] == '\r' ? end - 1 : end);
            line.erase(0, end + 1);
            if (!text.empty() && text.find_first_not_of("0123456789") == std::string::npos)
                positions.push_back({double(std::stoul(text)), now});
        }
    }

    WatchedProgram& recorder;
    ServerRecorder& server;
    WatchedProgram* demo;
    ArrivalFit& fit;
    bool demoOpen = true;
    std::string pending;
    std::string line;
    std::string allOutput;
    std::vector<float> mono;
    std::vector<float> stamped;
    std::vector<ServerRecorder::Stamp> stamps;
    std::vector<Report> positions;
};

// Presses a key without waiting, so that lines keep being stamped as they
// arrive; the presses are reaped at the end.
void sendKey(std::vector<std::unique_ptr<WatchedProgram>>& keys, const char* key) {
    keys.push_back(std::make_unique<WatchedProgram>(std::vector<std::string>{"xdotool", "key", key}, false));
}

// Where in a recording each reading was heard, as offsets (sound after the
// position) in ms; readings not found there are counted in `unmatched`.
struct Placed {
    std::vector<double> offsetsMs;
    int unmatched = 0;
    double lowestCorrelation = 1;
};

template <typename Timeline>
Placed place(const std::vector<float>& reference, const std::vector<float>& recording, const Timeline& timeline,
             const std::vector<Report>& reports, bool print) {
    const std::int64_t window = rate / 4;        // 250 ms compared
    const std::int64_t searchRadius = rate / 5;  // within 200 ms of the guess
    // A stretch that matches less than this is not the same sound: the player
    // or the recorder lost samples there (an underrun), and it is left out.
    const double sameSound = 0.99;
    Placed placed;
    const SoundMatch match(reference, recording);
    for (const Report& report : reports) {
        const auto musicIndex = std::int64_t(report.positionMs * rate / 1000);
        const auto guess = std::int64_t((double(report.arrivalUs) - timeline.heardUs(0)) / timeline.microsecondsPerSample());
        const SoundMatch::Found found = match.find(musicIndex, guess, window, searchRadius);
        if (found.recordingIndex < 0 || found.correlation < sameSound) {
            if (print)
                std::printf("position %.1f ms not found in the recording (best correlation %.4f)\n", report.positionMs,
                            found.correlation);
            ++placed.unmatched;
            continue;
        }
        // The sample matched is the position's own up to the fraction of a
        // sample the position's ms leave over.
        const double leftOverUs = (report.positionMs * rate / 1000 - double(musicIndex)) * 1e6 / rate;
        const double offsetMs =
            (timeline.heardUs(double(found.recordingIndex)) + leftOverUs - double(report.arrivalUs)) / 1000.0;
        if (print)
            std::printf("position %.1f ms heard %+.2f ms after it was reported (correlation %.4f)\n", report.positionMs,
                        offsetMs, found.correlation);
        placed.offsetsMs.push_back(offsetMs);
        placed.lowestCorrelation = std::min(placed.lowestCorrelation, found.correlation);
    }
    std::sort(placed.offsetsMs.begin(), placed.offsetsMs.end());
    return placed;
}

// ArrivalFit read as a timeline of when samples were heard.
struct ArrivalTimeline {
    const ArrivalFit& fit;
    double heardUs(double index) const { return fit.captureUs(index); }
    double microsecondsPerSample() const { return fit.microsecondsPerSample(); }
};

// Presses Space `readings` times from 3 s on, spread over the run, then ends
// the demo; each line is stamped as it arrives, which is just after the demo
// read the position it writes.
int readDemo(const char* demoPath, Session& session, WatchedProgram& demo, double seconds, int readings) {
    std::vector<std::unique_ptr<WatchedProgram>> keys;
    const std::int64_t startUs = steadyTimeUs();
    {
        WatchedProgram focus({"xdotool", "search", "--sync", "--name", windowTitle, "windowfocus", "--sync"}, false);
        while (focus.running()) session.readUntil(steadyTimeUs() + 20000);
    }
    const double firstS = 3.0;
    const double gapS = std::max(0.3, (seconds - firstS - 1.0) / readings);
    for (int press = 0; press < readings; ++press) {
        session.readUntil(startUs + std::int64_t((firstS + press * gapS) * 1e6));
        sendKey(keys, "space");
    }
    session.readUntil(startUs + std::int64_t((firstS + readings * gapS + 0.5) * 1e6));
    sendKey(keys, "Escape");
    session.readUntil(steadyTimeUs() + 1500000);
    for (const auto& key : keys) key->wait();
    const int status = demo.stop();
    if (status != 0) std::cout << "the demo (" << demoPath << ") exited with status " << status << ": " << session.demoOutput() << "\n";
    return status;
}

// Asks mpv for its position `readings` times from 3 s on, spread over the
// run, then ends it.
int readMpv(MpvPlayer& mpv, Session& session, double seconds, int readings) {
    const std::int64_t startUs = steadyTimeUs();
    const double firstS = 3.0;
    const double gapS = std::max(0.3, (seconds - firstS - 1.0) / readings);
    for (int reading = 0; reading < readings; ++reading) {
        session.readUntil(startUs + std::int64_t((firstS + reading * gapS) * 1e6));
        const MpvPlayer::Reading answer = mpv.ask();
        if (answer.valid) session.add({answer.positionMs, answer.atUs});
    }
    session.readUntil(steadyTimeUs() + 1000000);
    mpv.stop();
    return 0;
}

int measure(const std::string& player, const char* soundtrack, double seconds, const std::string& sink,
            const std::string& server, int readings) {
    const std::vector<float> reference = decodeMono(soundtrack, rate);
    setenv("SDL_AUDIODRIVER", "pulse", 1);
    // The recorders and this program, which reads and stamps what parec
    // records, go on the real-time scheduler: this program first, and parec
    // started next inherits it; then not for children, so that the player
    // started after runs as usual.
    const bool ahead = runAheadOfOthers(true);
    WatchedProgram recorder({"parec", "--raw", "--format=s16le", "--rate=" + std::to_string(rate),
                             "--channels=" + std::to_string(channels), "--latency-msec=2", "-d", sink + ".monitor"},
                            true);
    const std::unique_ptr<ServerRecorder> serverRecorder = ServerRecorder::forServer(server, false);
    if (!serverRecorder->start(sink, rate)) throw std::runtime_error("cannot record through " + server);
    if (!ahead || !runAheadOfOthers(false))
        std::cerr << "av_offset: the recording runs at normal priority; on a busy machine it may lose samples\n";
    ArrivalFit fit(rate);
    const bool isMpv = player.rfind("mpv:", 0) == 0;
    std::unique_ptr<WatchedProgram> demo;
    std::unique_ptr<MpvPlayer> mpv;
    if (isMpv)
        mpv = std::make_unique<MpvPlayer>(player.substr(4), soundtrack, "mpv-" + std::to_string(getpid()) + ".socket");
    else if (player.rfind("wine:", 0) == 0)
        demo = std::make_unique<WatchedProgram>(std::vector<std::string>{"wine", player.substr(5)}, true);
    else
        demo = std::make_unique<WatchedProgram>(std::vector<std::string>{player}, true);
    Session session(recorder, *serverRecorder, demo.get(), fit);
    const int status = isMpv ? readMpv(*mpv, session, seconds, readings)
                             : readDemo(player.c_str(), session, *demo, seconds, readings);
    session.readUntil(steadyTimeUs() + 300000);
    recorder.stop();
    if (status != 0) return 1;
    StampFit stamps(rate);
    if (!fit.fit() || !stamps.fit(session.serverStamps())) {
        std::cout << "the recording is too short\n";
        return 1;
    }
    const Placed byServer = place(reference, session.serverRecording(), stamps, session.reports(), true);
    const Placed byArrival = place(reference, session.recording(), ArrivalTimeline{fit}, session.reports(), false);
    if (byServer.offsetsMs.empty()) {
        std::cout << "no reported position was found in the recording\n";
        return 1;
    }
    const auto median = [](const std::vector<double>& sorted) {
        return sorted.empty() ? std::nan("") : sorted[sorted.size() / 2];
    };
    const auto spread = [](const std::vector<double>& sorted) {
        return sorted.empty() ? std::nan("") : sorted.back() - sorted.front();
    };
    auto* const pipeWire = dynamic_cast<PipeWireRecorder*>(serverRecorder.get());
    std::printf("offset_ms %.2f min %.2f max %.2f spread_ms %.2f readings %zu unmatched %d correlation %.4f "
                "sink_rate_hz %.1f arrival_offset_ms %.2f arrival_spread_ms %.2f recorder_delay_ms %.2f "
                "stamp_scatter_ms %.3f missed_cycles %d\n",
                median(byServer.offsetsMs), byServer.offsetsMs.front(), byServer.offsetsMs.back(),
                spread(byServer.offsetsMs), byServer.offsetsMs.size(), byServer.unmatched, byServer.lowestCorrelation,
                1e6 / stamps.microsecondsPerSample(), median(byArrival.offsetsMs), spread(byArrival.offsetsMs),
                pipeWire != nullptr ? pipeWire->reportedDelayMs() : 0.0, stamps.stampScatterUs() / 1000.0, pipeWire != nullptr ? pipeWire->cyclesMissed() : 0);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 6 && argc != 7) {
        std::cerr << "usage: av_offset PLAYER SOUNDTRACK SECONDS SINK pulseaudio|pipewire [READINGS]\n";
        return 2;
    }
    try {
        return measure(argv[1], argv[2], std::atof(argv[3]), argv[4], argv[5], argc == 7 ? std::atoi(argv[6]) : 8);
    } catch (const std::exception& error) {
        std::cout << "av_offset: " << error.what() << "\n";
        return 1;
    }
}
