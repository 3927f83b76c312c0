#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "bench/ServerRecorder.h"

struct pa_context;
struct pa_stream;
struct pa_threaded_mainloop;

// Records a sink's monitor through libpulse. With each stretch read, the
// server's timing of the stream is asked for: the frame it had written for
// us by then was heard at the sink at the moment it stamped that account,
// less the source's reported latency, plus the sink's (what the sink had
// rendered to the monitor but not yet played).
class PulseRecorder : public ServerRecorder {
public:
    // The monitor's sound comes in fragments of fragmentUs. The null sink
    // renders ahead by as little as its clients ask: with small fragments
    // its timing holds still (a lone recorder at 20 ms, beside Firefox,
    // stamped 4.7 ms astray); but two recorders at 2 ms overran its queue.
    explicit PulseRecorder(std::uint32_t fragmentUs) : fragmentUs(fragmentUs) {}
    ~PulseRecorder() override;
    PulseRecorder(const PulseRecorder&) = delete;
    PulseRecorder& operator=(const PulseRecorder&) = delete;

    bool start(const std::string& sink, int rate) override;

private:
    static void read(pa_stream* stream, std::size_t bytes, void* self);
    static void timingUpdated(pa_stream* stream, void* self);

    pa_threaded_mainloop* mainloop = nullptr;
    pa_context* context = nullptr;
    pa_stream* stream = nullptr;
    std::uint32_t fragmentUs;
    int rate = 44100;
    std::int64_t samplesSoFar = 0;
};
