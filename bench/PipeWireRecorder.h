#pragma once

#include <pipewire/stream.h>

#include <string>
#include <vector>

#include "bench/ServerRecorder.h"

struct pw_thread_loop;

// Records a sink's monitor through PipeWire's own stream API. Each buffer is
// taken in the graph cycle that delivers it, and stamped from the stream's
// time reports. A sink drives the graph, and its monitor hands on what the
// sink took in the cycle before: a buffer written by a playback stream in the
// cycle starting at T reaches the sink in that cycle, to be heard from T on
// (the playback stream's own delay is 0 on a null sink), and this recorder a
// cycle later, with a delay of 0 all the same (bench/cycle_probe shows both).
// So a buffer's first sample was heard at the start of the cycle before the
// one delivering it, less the delay PipeWire reports from the sink to this
// stream and what the stream's resampler holds.
class PipeWireRecorder : public ServerRecorder {
public:
    PipeWireRecorder() = default;
    ~PipeWireRecorder() override;
    PipeWireRecorder(const PipeWireRecorder&) = delete;
    PipeWireRecorder& operator=(const PipeWireRecorder&) = delete;

    bool start(const std::string& sink, int rate) override;

    // The delay PipeWire reported last, in ms (for the log).
    double reportedDelayMs();
    // How many times a cycle passed without a buffer for this recorder.
    int cyclesMissed();

private:
    static void process(void* self);

    pw_stream_events events{};
    pw_thread_loop* loop = nullptr;
    pw_stream* stream = nullptr;
    int rate = 44100;
    std::int64_t samplesSoFar = 0;
    std::int64_t previousCycleNs = 0;  // the start of the cycle before, 0 before the first
    double lastDelayMs = 0;
    int missedCycles = 0;
};
