#include "bench/PulseRecorder.h"


#include <pulse/pulseaudio.h>

#include <chrono>
#include <cstdint>
#include <thread>

#include "audio/SteadyTime.h"

namespace {

constexpr std::size_t bytesPerFrame = 2 * sizeof(std::int16_t);

}  // namespace

PulseRecorder::~PulseRecorder() {
    if (mainloop == nullptr) return;
    pa_threaded_mainloop_lock(mainloop);
    if (stream != nullptr) pa_stream_disconnect(stream);
    if (context != nullptr) pa_context_disconnect(context);
    pa_threaded_mainloop_unlock(mainloop);
    pa_threaded_mainloop_stop(mainloop);
    if (stream != nullptr) pa_stream_unref(stream);
    if (context != nullptr) pa_context_unref(context);
    pa_threaded_mainloop_free(mainloop);
}

bool PulseRecorder::start(const std::string& sink, int sampleRate) {
    rate = sampleRate;
    mainloop = pa_threaded_mainloop_new();
    if (mainloop == nullptr) return false;
    context = pa_context_new(pa_threaded_mainloop_get_api(mainloop), "av_offset recorder");
    if (context == nullptr || pa_context_connect(context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0 ||
        pa_threaded_mainloop_start(mainloop) < 0)
        return false;
    for (int waited = 0;; ++waited) {
        pa_threaded_mainloop_lock(mainloop);
        const pa_context_state_t state = pa_context_get_state(context);
        pa_threaded_mainloop_unlock(mainloop);
        if (state == PA_CONTEXT_READY) break;
        if (!PA_CONTEXT_IS_GOOD(state) || waited > 2000) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    pa_threaded_mainloop_lock(mainloop);
    const pa_sample_spec format{PA_SAMPLE_S16NE, std::uint32_t(rate), 2};
    stream = pa_stream_new(context, "av_offset recorder", &format, nullptr);
    bool started = stream != nullptr;
    if (started) {
        pa_stream_set_read_callback(stream, &PulseRecorder::read, this);
        pa_stream_set_latency_update_callback(stream, &PulseRecorder::timingUpdated, this);
        pa_buffer_attr buffering{};
        buffering.maxlength = std::uint32_t(-1);
        buffering.fragsize = std::uint32_t(pa_usec_to_bytes(fragmentUs, &format));
        started = pa_stream_connect_record(stream, (sink + ".monitor").c_str(), &buffering,
                                           pa_stream_flags_t(PA_STREAM_ADJUST_LATENCY)) == 0;
    }
    pa_threaded_mainloop_unlock(mainloop);
    return started;
}

// Takes what arrived, mixed to mono, and asks for the stream's timing.
void PulseRecorder::read(pa_stream* stream, std::size_t, void* self) {
    auto* recorder = static_cast<PulseRecorder*>(self);
    const void* data = nullptr;
    std::size_t bytes = 0;
    while (pa_stream_readable_size(stream) > 0 && pa_stream_peek(stream, &data, &bytes) == 0 && bytes > 0) {
        const std::size_t frames = bytes / bytesPerFrame;
        {
            const std::lock_guard<std::mutex> hold(recorder->lock);
            const auto* samples = static_cast<const std::int16_t*>(data);
            for (std::size_t frame = 0; frame < frames; ++frame)
                recorder->pendingMono.push_back(data == nullptr ? 0.0f
                                                                : 0.5f * (float(samples[2 * frame]) + float(samples[2 * frame + 1])));
            recorder->samplesSoFar += std::int64_t(frames);
        }
        pa_stream_drop(stream);
    }
    pa_operation* const asked = pa_stream_update_timing_info(stream, nullptr, nullptr);
    if (asked != nullptr) pa_operation_unref(asked);
}

// The server's account: by `timestamp` it had written write_index bytes for
// us, the last of them captured source_usec before; a monitor captures what
// its sink renders, which the sink plays sink_usec later (a null sink
// renders ahead of time by as much as its clients let it; its monitor
// reports no latency of its own).
void PulseRecorder::timingUpdated(pa_stream* stream, void* self) {
    auto* recorder = static_cast<PulseRecorder*>(self);
    const pa_timing_info* const timing = pa_stream_get_timing_info(stream);
    if (timing == nullptr || timing->write_index_corrupt) return;
    const double atUs = double(steadyTimeUs()) - double(pa_timeval_age(&timing->timestamp));
    const std::int64_t frame = timing->write_index / std::int64_t(bytesPerFrame);
    const std::lock_guard<std::mutex> hold(recorder->lock);
    recorder->pendingStamps.push_back({frame, atUs - double(timing->source_usec) + double(timing->sink_usec)});
}
