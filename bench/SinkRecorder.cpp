// Records a sink's monitor through the sound server's own client library,
// for tests/web/benchmark.js, until its standard input closes:
//   sink_recorder SINK pulseaudio|pipewire RECORDING STAMPS
// RECORDING gets the monitor mixed to mono as native 32-bit floats; STAMPS a
// line "SAMPLE HEARD_US" for each stretch the server stamped: when the server
// says that sample of the recording was heard at the sink, in steady-clock
// (CLOCK_MONOTONIC) microseconds. So the recording's timing is the server's,
// not when the recording happened to reach this program. Writes "recording"
// once it records, and at the end "samples N stamps S missed_cycles M" (M the
// graph cycles that brought PipeWire's recorder nothing; 0 for PulseAudio).
#include <poll.h>
#include <unistd.h>

#include <cstdint>
#include <fstream>
#include <iostream>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "base/Soundtrack.h"
#include "bench/PipeWireRecorder.h"
#include "bench/RunAhead.h"
#include "bench/ServerRecorder.h"

namespace {

// Waits up to `ms` for standard input; false once it has closed.
bool inputOpen(int ms) {
    pollfd input{0, POLLIN, 0};
    if (poll(&input, 1, ms) <= 0) return true;
    char buffer[256];
    return read(0, buffer, sizeof buffer) > 0;
}

int record(const std::string& sink, const std::string& server, const char* recordingFile, const char* stampsFile) {
    // The browser and its renderer fill both cores; the server's threads
    // this program starts inherit the real-time scheduler.
    if (!runAheadOfOthers(true))
        std::cerr << "sink_recorder: the recording runs at normal priority; on a busy machine it may lose samples\n";
    std::ofstream recording(recordingFile, std::ios::binary);
    std::ofstream stampLines(stampsFile);
    if (!recording || !stampLines) throw std::runtime_error("cannot write the recording or its stamps");
    const std::unique_ptr<ServerRecorder> recorder = ServerRecorder::forServer(server, true);
    if (!recorder->start(sink, mixRate)) throw std::runtime_error("cannot record " + sink + " through " + server);
    std::cout << "recording" << std::endl;
    std::vector<float> mono;
    std::vector<ServerRecorder::Stamp> stamps;
    std::int64_t samples = 0, stampCount = 0;
    bool open = true;
    while (open) {
        open = inputOpen(50);
        recorder->take(mono, stamps);
        recording.write(reinterpret_cast<const char*>(mono.data()), std::streamsize(mono.size() * sizeof(float)));
        for (const ServerRecorder::Stamp& stamp : stamps) stampLines << stamp.sample << ' ' << std::int64_t(stamp.heardUs) << '\n';
        samples += std::int64_t(mono.size());
        stampCount += std::int64_t(stamps.size());
        mono.clear();
        stamps.clear();
    }
    auto* const pipeWire = dynamic_cast<PipeWireRecorder*>(recorder.get());
    std::cout << "samples " << samples << " stamps " << stampCount << " missed_cycles "
              << (pipeWire != nullptr ? pipeWire->cyclesMissed() : 0) << "\n";
    return recording && stampLines ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 5) {
        std::cerr << "usage: sink_recorder SINK pulseaudio|pipewire RECORDING STAMPS\n";
        return 2;
    }
    try {
        return record(argv[1], argv[2], argv[3], argv[4]);
    } catch (const std::exception& error) {
        std::cerr << "sink_recorder: " << error.what() << "\n";
        return 1;
    }
}
