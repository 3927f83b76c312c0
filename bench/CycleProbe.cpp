// Which graph cycle a buffer written by a playback stream reaches, through
// the PipeWire that XDG_RUNTIME_DIR names:
//   cycle_probe SINK
// A playback stream to SINK (stereo, as the sink is) writes a click (a buffer of 0.5) into the buffer
// PipeWire asks it for in one cycle; a capture stream linked straight to the
// playback stream's output (with pw-link), which reads what the sink reads,
// and a capture stream on SINK's monitor each note the cycle they first see
// it in. Three clicks, half a second apart; for each, one line per stream:
// "STREAM cycle_ms C delay D" (C: the cycle's start, by pw_stream_get_time_n,
// less that of the cycle the click was written in; D: the delay that stream
// reports, in frames) and the playback stream's own reported delay.
#include <pipewire/pipewire.h>
#include <spa/param/audio/format-utils.h>

#include <unistd.h>

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

struct Probe {
    const char* name = "";
    bool playing = false;
    pw_stream* stream = nullptr;
    pw_stream_events events{};
    std::atomic<bool> seen{true};  // a capture stream waits for the next click once this is false
};

Probe player, tap, monitor;
std::atomic<bool> clickNext{false};
std::atomic<std::int64_t> clickNs{0};

void process(void* data) {
    Probe& probe = *static_cast<Probe*>(data);
    pw_buffer* const buffer = pw_stream_dequeue_buffer(probe.stream);
    if (buffer == nullptr) return;
    pw_time time{};
    pw_stream_get_time_n(probe.stream, &time, sizeof time);
    spa_data& out = buffer->buffer->datas[0];
    auto* const samples = static_cast<float*>(out.data);
    if (probe.playing) {
        const std::uint32_t room = out.maxsize / sizeof(float);
        const std::uint32_t frames = buffer->requested > 0 && buffer->requested < room ? std::uint32_t(buffer->requested) : room;
        const bool click = clickNext.exchange(false);
        for (std::uint32_t i = 0; i < frames; ++i) samples[i] = click ? 0.5f : 0.0f;
        if (click) {
            clickNs = time.now;
            std::printf("playback wrote the click: cycle of %u frames, delay %lld\n", frames, (long long)time.delay);
        }
        out.chunk->offset = 0;
        out.chunk->stride = sizeof(float);
        out.chunk->size = frames * sizeof(float);
    } else if (!probe.seen) {
        for (std::uint32_t i = 0; i < out.chunk->size / sizeof(float); ++i) {
            if (samples[i] <= 0.25f) continue;
            std::printf("%s cycle_ms %.3f delay %lld\n", probe.name, double(time.now - clickNs) / 1e6, (long long)time.delay);
            probe.seen = true;
            break;
        }
    }
    pw_stream_queue_buffer(probe.stream, buffer);
}

// A mono 48 kHz stream, its buffers handled in the graph's own thread, in the
// cycle they belong to; connected by WirePlumber when it has a target.
void open(Probe& probe, pw_thread_loop* loop, const char* name, bool playing, const char* target, bool onMonitor) {
    probe.name = name;
    probe.playing = playing;
    pw_properties* const props = pw_properties_new(PW_KEY_MEDIA_TYPE, "Audio", PW_KEY_MEDIA_CATEGORY,
                                                   playing ? "Playback" : "Capture", PW_KEY_NODE_NAME, name, nullptr);
    if (target != nullptr) pw_properties_set(props, PW_KEY_TARGET_OBJECT, target);
    if (onMonitor) pw_properties_set(props, PW_KEY_STREAM_CAPTURE_SINK, "true");
    probe.events.version = PW_VERSION_STREAM_EVENTS;
    probe.events.process = process;
    probe.stream = pw_stream_new_simple(pw_thread_loop_get_loop(loop), name, props, &probe.events, &probe);
    std::uint8_t room[1024];
    spa_pod_builder builder = SPA_POD_BUILDER_INIT(room, sizeof room);
    spa_audio_info_raw info{};
    info.format = SPA_AUDIO_FORMAT_F32;
    info.rate = 48000;
    info.channels = 1;
    info.position[0] = SPA_AUDIO_CHANNEL_MONO;
    const spa_pod* params[1] = {spa_format_audio_raw_build(&builder, SPA_PARAM_EnumFormat, &info)};
    const int flags = PW_STREAM_FLAG_MAP_BUFFERS | PW_STREAM_FLAG_RT_PROCESS | (target != nullptr ? PW_STREAM_FLAG_AUTOCONNECT : 0);
    pw_stream_connect(probe.stream, playing ? SPA_DIRECTION_OUTPUT : SPA_DIRECTION_INPUT, PW_ID_ANY,
                      pw_stream_flags(flags), params, 1);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: cycle_probe SINK\n");
        return 2;
    }
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    pw_init(nullptr, nullptr);
    pw_thread_loop* const loop = pw_thread_loop_new("cycle_probe", nullptr);
    pw_thread_loop_lock(loop);
    open(player, loop, "cycle_probe.playback", true, argv[1], false);
    open(monitor, loop, "cycle_probe.monitor", false, argv[1], true);
    open(tap, loop, "cycle_probe.tap", false, nullptr, false);
    pw_thread_loop_unlock(loop);
    pw_thread_loop_start(loop);
    sleep(1);
    if (std::system("pw-link cycle_probe.playback:output_FL cycle_probe.tap:input_MONO") != 0) {
        std::fprintf(stderr, "cycle_probe: pw-link failed\n");
        return 1;
    }
    sleep(1);
    for (int click = 0; click < 3; ++click) {
        tap.seen = false;
        monitor.seen = false;
        clickNext = true;
        usleep(500000);
    }
    pw_thread_loop_stop(loop);
    return tap.seen && monitor.seen ? 0 : 1;
}
