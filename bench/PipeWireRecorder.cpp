#include "bench/PipeWireRecorder.h"

#include <pipewire/pipewire.h>
#include <spa/param/audio/format-utils.h>

#include <cstdint>

PipeWireRecorder::~PipeWireRecorder() {
    if (loop == nullptr) return;
    pw_thread_loop_stop(loop);
    if (stream != nullptr) pw_stream_destroy(stream);
    pw_thread_loop_destroy(loop);
}

bool PipeWireRecorder::start(const std::string& sink, int sampleRate) {
    rate = sampleRate;
    pw_init(nullptr, nullptr);
    loop = pw_thread_loop_new("recorder", nullptr);
    if (loop == nullptr) return false;
    pw_properties* const props =
        pw_properties_new(PW_KEY_MEDIA_TYPE, "Audio", PW_KEY_MEDIA_CATEGORY, "Capture", PW_KEY_MEDIA_ROLE, "Production",
                          PW_KEY_TARGET_OBJECT, sink.c_str(), PW_KEY_STREAM_CAPTURE_SINK, "true", nullptr);
    events.version = PW_VERSION_STREAM_EVENTS;
    events.process = &PipeWireRecorder::process;
    stream = pw_stream_new_simple(pw_thread_loop_get_loop(loop), "av_offset recorder", props, &events, this);
    if (stream == nullptr) return false;
    std::uint8_t buffer[1024];
    spa_pod_builder builder = SPA_POD_BUILDER_INIT(buffer, sizeof buffer);
    spa_audio_info_raw info{};
    info.format = SPA_AUDIO_FORMAT_F32;
    info.rate = std::uint32_t(rate);
    info.channels = 2;
    info.position[0] = SPA_AUDIO_CHANNEL_FL;
    info.position[1] = SPA_AUDIO_CHANNEL_FR;
    const spa_pod* params[1] = {spa_format_audio_raw_build(&builder, SPA_PARAM_EnumFormat, &info)};
    // The buffers are taken in the graph's own thread, in the cycle that
    // delivers them, so that the time report read there is theirs.
    const auto flags = pw_stream_flags(PW_STREAM_FLAG_AUTOCONNECT | PW_STREAM_FLAG_MAP_BUFFERS | PW_STREAM_FLAG_RT_PROCESS);
    if (pw_stream_connect(stream, SPA_DIRECTION_INPUT, PW_ID_ANY, flags, params, 1) < 0) return false;
    return pw_thread_loop_start(loop) == 0;
}

// In the graph's thread, once a cycle: the buffer, mixed to mono, and the
// time its first sample was heard at the sink.
void PipeWireRecorder::process(void* self) {
    auto* recorder = static_cast<PipeWireRecorder*>(self);
    pw_buffer* const taken = pw_stream_dequeue_buffer(recorder->stream);
    if (taken == nullptr) return;
    pw_time time{};
    pw_stream_get_time_n(recorder->stream, &time, sizeof time);
    const spa_data& data = taken->buffer->datas[0];
    const auto* samples = static_cast<const float*>(data.data);
    const std::uint32_t frames = data.chunk->size / (2 * sizeof(float));
    // The sink took this sound in the cycle before this one; on its way here
    // it spent time.delay (in the graph's rate), and the resampler holds
    // time.buffered frames of the stream's rate that came before it.
    const double delayUs = time.rate.denom > 0 ? double(time.delay) * 1e6 * time.rate.num / time.rate.denom : 0;
    const double heardUs =
        double(recorder->previousCycleNs) / 1000.0 - delayUs - double(time.buffered) * 1e6 / recorder->rate;
    {
        const std::lock_guard<std::mutex> hold(recorder->lock);
        if (recorder->previousCycleNs != 0) recorder->pendingStamps.push_back({recorder->samplesSoFar, heardUs});
        // A cycle that brought this recorder nothing leaves the cycles'
        // starts further apart than the buffer's length.
        const double bufferNs = double(frames) * 1e9 / recorder->rate;
        if (recorder->previousCycleNs != 0 && double(time.now - recorder->previousCycleNs) > 1.5 * bufferNs)
            ++recorder->missedCycles;
        recorder->previousCycleNs = time.now;
        for (std::uint32_t frame = 0; frame < frames; ++frame)
            recorder->pendingMono.push_back(0.5f * (samples[2 * frame] + samples[2 * frame + 1]) * 32768.0f);
        recorder->samplesSoFar += frames;
        recorder->lastDelayMs = (delayUs + double(time.buffered) * 1e6 / recorder->rate) / 1000.0;
    }
    pw_stream_queue_buffer(recorder->stream, taken);
}

int PipeWireRecorder::cyclesMissed() {
    const std::lock_guard<std::mutex> hold(lock);
    return missedCycles;
}

double PipeWireRecorder::reportedDelayMs() {
    const std::lock_guard<std::mutex> hold(lock);
    return lastDelayMs;
}
