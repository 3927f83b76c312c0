#include "web/WebAudioClock.h"

#include <cmath>

#include "base/Failure.h"
#include "base/Soundtrack.h"

// From library_webaudio.js.
extern "C" {
int tidewash_audio_play();
double tidewash_audio_seconds();
}

void WebAudioClock::start() {
    latest = 0;
    if (tidewash_audio_play() == 0) throw Failure(missingSoundtrackMessage);
}

std::uint32_t WebAudioClock::position() {
    // The audio context's output time can step back a little when the browser
    // revises its latency estimate; the demo's clock never does.
    const double ms = std::floor(tidewash_audio_seconds() * 1000.0);
    if (ms > double(latest)) latest = ms >= 4294967295.0 ? 4294967295u : static_cast<std::uint32_t>(ms);
    return latest;
}
