#include "audio/PulseOutput.h"

#include <pulse/pulseaudio.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <thread>

#include "audio/MusicTrack.h"
#include "audio/SteadyTime.h"
#include "base/Soundtrack.h"

namespace {

constexpr int channels = mixChannels;
constexpr size_t bytesPerFrame = channels * sizeof(std::int16_t);

// What the server holds ahead of the ear, and how much it asks for at a time.
// The server's timing says when each frame is heard, so a deep buffer costs
// no sync, only a moment of silence before the music starts; a shallow one
// runs dry on a busy machine, and the sound, and with it the clock, stutters
// (through PipeWire on a loaded machine, 40 ms lost 4.6 s a minute, 100 ms
// 0.2 s, 200 ms nothing).
constexpr pa_usec_t targetLatencyUs = 200000;
constexpr pa_usec_t requestUs = 40000;

// How long opening waits for the server to answer.
constexpr auto connectLimit = std::chrono::seconds(1);

// How often the stream's timing is asked for. The server's count of frames
// heard moves in steps of its cycle; reports this close together catch it
// within a ms or so of a step within the estimate's window.
constexpr pa_usec_t timingIntervalUs = 5000;

// Holds libpulse's thread off for as long as it lives.
class MainloopLock {
public:
    explicit MainloopLock(pa_threaded_mainloop* mainloop) : mainloop(mainloop) { pa_threaded_mainloop_lock(mainloop); }
    ~MainloopLock() { pa_threaded_mainloop_unlock(mainloop); }
    MainloopLock(const MainloopLock&) = delete;
    MainloopLock& operator=(const MainloopLock&) = delete;

private:
    pa_threaded_mainloop* mainloop;
};

}  // namespace

PulseOutput::~PulseOutput() {
    if (mainloop == nullptr) return;
    {
        const MainloopLock lock(mainloop);
        if (timingTimer != nullptr) pa_threaded_mainloop_get_api(mainloop)->time_free(timingTimer);
        if (timingAsked != nullptr) pa_operation_unref(timingAsked);
        if (stream != nullptr) pa_stream_disconnect(stream);
        if (context != nullptr) pa_context_disconnect(context);
    }
    pa_threaded_mainloop_stop(mainloop);
    if (stream != nullptr) pa_stream_unref(stream);
    if (context != nullptr) pa_context_unref(context);
    pa_threaded_mainloop_free(mainloop);
}

bool PulseOutput::open(int rate) {
    mixRate = rate;
    mainloop = pa_threaded_mainloop_new();
    if (mainloop == nullptr || !connect()) return false;
    estimate = HeardEstimate(rate, serverIsPipeWire());
    return startStream();
}

// Connects to the server the environment names, or the user's, without
// starting one: false when none answers within connectLimit.
bool PulseOutput::connect() {
    context = pa_context_new(pa_threaded_mainloop_get_api(mainloop), "Tidewash");
    if (context == nullptr || pa_context_connect(context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0) return false;
    if (pa_threaded_mainloop_start(mainloop) < 0) return false;
    const auto deadline = std::chrono::steady_clock::now() + connectLimit;
    for (;;) {
        pa_context_state_t state;
        {
            const MainloopLock lock(mainloop);
            state = pa_context_get_state(context);
        }
        if (state == PA_CONTEXT_READY) return true;
        if (!PA_CONTEXT_IS_GOOD(state) || std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

// Whether the server is PipeWire's pulse server, by the name it gives
// ("PulseAudio (on PipeWire 0.3.65)"): it counts a graph cycle's frames as
// heard as the cycle starts. False when it does not say within connectLimit.
bool PulseOutput::serverIsPipeWire() {
    struct Answer {
        bool given = false;
        bool pipeWire = false;
    } answer;
    const auto heard = [](pa_context*, const pa_server_info* info, void* to) {
        auto* const answered = static_cast<Answer*>(to);
        answered->pipeWire = info != nullptr && info->server_name != nullptr && std::strstr(info->server_name, "PipeWire") != nullptr;
        answered->given = true;
    };
    pa_operation* asked = nullptr;
    {
        const MainloopLock lock(mainloop);
        asked = pa_context_get_server_info(context, heard, &answer);
    }
    if (asked == nullptr) return false;
    const auto deadline = std::chrono::steady_clock::now() + connectLimit;
    for (;;) {
        {
            const MainloopLock lock(mainloop);
            if (answer.given || pa_operation_get_state(asked) != PA_OPERATION_RUNNING ||
                std::chrono::steady_clock::now() > deadline) {
                if (pa_operation_get_state(asked) == PA_OPERATION_RUNNING) pa_operation_cancel(asked);
                pa_operation_unref(asked);
                return answer.given && answer.pipeWire;
            }
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

// Asks for a playback stream and returns without waiting for it to start: a
// stream the server is slow to start leaves the play clock to give up on it.
bool PulseOutput::startStream() {
    const MainloopLock lock(mainloop);
    const pa_sample_spec format{PA_SAMPLE_S16NE, std::uint32_t(mixRate), channels};
    stream = pa_stream_new(context, "Soundtrack", &format, nullptr);
    if (stream == nullptr) return false;
    pa_stream_set_write_callback(stream, &PulseOutput::write, this);
    pa_stream_set_latency_update_callback(stream, &PulseOutput::timingUpdated, this);
    timingTimer = pa_context_rttime_new(context, pa_rtclock_now() + timingIntervalUs, &PulseOutput::askTiming, this);
    pa_buffer_attr buffering{};
    buffering.maxlength = std::uint32_t(-1);
    buffering.tlength = std::uint32_t(pa_usec_to_bytes(targetLatencyUs, &format));
    buffering.prebuf = std::uint32_t(-1);
    buffering.minreq = std::uint32_t(pa_usec_to_bytes(requestUs, &format));
    buffering.fragsize = std::uint32_t(-1);
    return timingTimer != nullptr &&
           pa_stream_connect_playback(stream, nullptr, &buffering, PA_STREAM_ADJUST_LATENCY, nullptr, nullptr) == 0;
}

void PulseOutput::play(MusicTrack* track) {
    const MainloopLock lock(mainloop);
    playing = track;
}

// Fills what the server asks for, in as many of libpulse's buffers as it
// takes (one holds at most a memory pool block).
void PulseOutput::write(pa_stream* stream, size_t bytes, void* self) {
    auto* output = static_cast<PulseOutput*>(self);
    while (bytes >= bytesPerFrame) {
        void* buffer = nullptr;
        size_t size = bytes;
        if (pa_stream_begin_write(stream, &buffer, &size) < 0 || buffer == nullptr) break;
        if (size < bytesPerFrame) {
            pa_stream_cancel_write(stream);
            break;
        }
        const int frames = int(std::min(size, bytes) / bytesPerFrame);
        const size_t written = size_t(frames) * bytesPerFrame;
        if (output->playing == nullptr)
            std::memset(buffer, 0, written);
        else
            output->playing->render(static_cast<std::int16_t*>(buffer), frames, output->framesWritten, steadyTimeUs());
        pa_stream_write(stream, buffer, written, nullptr, 0, PA_SEEK_RELATIVE);
        output->framesWritten += std::uint64_t(frames);
        bytes -= written;
    }
    ++output->requestsServed;
}

// Asks the server for the stream's timing, and again timingIntervalUs later;
// a server slow to answer is not asked again until it has.
void PulseOutput::askTiming(pa_mainloop_api*, pa_time_event* timer, const timeval*, void* self) {
    auto* output = static_cast<PulseOutput*>(self);
    pa_operation*& asked = output->timingAsked;
    if (asked != nullptr && pa_operation_get_state(asked) != PA_OPERATION_RUNNING) {
        pa_operation_unref(asked);
        asked = nullptr;
    }
    if (asked == nullptr && pa_stream_get_state(output->stream) == PA_STREAM_READY)
        asked = pa_stream_update_timing_info(output->stream, nullptr, nullptr);
    pa_context_rttime_restart(output->context, timer, pa_rtclock_now() + timingIntervalUs);
}

void PulseOutput::timingUpdated(pa_stream*, void* self) { static_cast<PulseOutput*>(self)->reportHeard(); }

// The frame being heard, by the server's account of what it has taken from
// the stream and what it still holds, at the moment the server gave that
// account (through PipeWire, less the cycle it counts ahead). Until the server asks again after its first request, it has not
// begun to play: PulseAudio's null sink takes its time over that (up to 2 s
// here). Nor is the frame passed on until the estimate has settled: PipeWire's
// first reports can be a whole cycle behind, and the picture would step.
void PulseOutput::reportHeard() {
    const pa_timing_info* const timing = pa_stream_get_timing_info(stream);
    if (playing == nullptr || requestsServed < 2 || timing == nullptr || timing->read_index_corrupt ||
        !timing->playing)
        return;
    const std::int64_t takenFrames = timing->read_index / std::int64_t(bytesPerFrame);
    const std::int64_t heldFrames = std::int64_t(timing->sink_usec) * mixRate / 1000000;
    // The account's time, from the wall clock libpulse stamps it by (never
    // later than the account's arrival) to the steady clock.
    const std::int64_t atUs = steadyTimeUs() - std::int64_t(pa_timeval_age(&timing->timestamp));
    const std::int64_t heardFrame = estimate.report(takenFrames - heldFrames, atUs);
    if (estimate.settled()) playing->heard(std::uint64_t(std::max<std::int64_t>(0, heardFrame)), atUs);
}
