#pragma once

#include <cstddef>
#include <cstdint>

#include "audio/AudioOutput.h"
#include "audio/HeardEstimate.h"

struct pa_context;
struct pa_mainloop_api;
struct pa_operation;
struct pa_stream;
struct pa_threaded_mainloop;
struct pa_time_event;
struct timeval;

// A playback stream on a PulseAudio sound server (PulseAudio itself, or
// PipeWire's pulse server) through libpulse. The server says when each frame
// is heard, its own output latency included (a Bluetooth headset's too):
// libpulse's stream timing, asked for every few ms and smoothed by a
// HeardEstimate, told when the server is PipeWire's pulse server, which counts
// a graph cycle's frames as heard as the cycle starts. libpulse's thread asks for frames and reports that timing
// with its lock held; the main thread takes the lock only to say which track
// plays.
class PulseOutput : public AudioOutput {
public:
    PulseOutput() = default;
    ~PulseOutput() override;
    PulseOutput(const PulseOutput&) = delete;
    PulseOutput& operator=(const PulseOutput&) = delete;

    // False when no server answers (none is started for it).
    bool open(int mixRate) override;
    void play(MusicTrack* track) override;
    bool keepsTime() const override { return true; }

private:
    bool connect();
    bool serverIsPipeWire();
    bool startStream();
    static void write(pa_stream* stream, std::size_t bytes, void* self);
    static void askTiming(pa_mainloop_api* api, pa_time_event* timer, const timeval* at, void* self);
    static void timingUpdated(pa_stream* stream, void* self);
    void reportHeard();

    int mixRate = 44100;
    pa_threaded_mainloop* mainloop = nullptr;
    pa_context* context = nullptr;
    pa_stream* stream = nullptr;
    pa_time_event* timingTimer = nullptr;
    pa_operation* timingAsked = nullptr;  // the last request for the stream's timing
    // Touched by libpulse's thread with its lock held.
    MusicTrack* playing = nullptr;
    std::uint64_t framesWritten = 0;
    int requestsServed = 0;
    HeardEstimate estimate{mixRate};
};
