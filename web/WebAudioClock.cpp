#include "web/WebAudioClock.h"

#include <cmath>

#include "base/Failure.h"
#include "base/Soundtrack.h"

// From library_webaudio.js and library_page.js.
extern "C" {
int tidewash_audio_has_soundtrack();
void tidewash_audio_read(double* fields);
double tidewash_audio_play(double fromSeconds, double leadSeconds);
double tidewash_page_frame_ms();
void tidewash_page_plays_silent(int silent);
}

namespace {

AudioReading readAudio() {
    double fields[7] = {};
    tidewash_audio_read(fields);
    AudioReading reading;
    reading.running = fields[0] != 0;
    reading.contextSeconds = fields[1];
    reading.stampContextSeconds = fields[2];
    reading.stampMs = fields[3];
    reading.latencySeconds = fields[4];
    reading.nowMs = fields[5];
    reading.heardInSteps = fields[6] != 0;
    return reading;
}

}  // namespace

void WebAudioClock::start() {
    if (tidewash_audio_has_soundtrack() == 0) throw Failure(missingSoundtrackMessage);
    *this = WebAudioClock();
}

std::uint32_t WebAudioClock::position() {
    const AudioReading reading = readAudio();
    const double shownAtMs = showTime.shownAtMs(tidewash_page_frame_ms());
    if (startedAtMs < 0) startedAtMs = reading.nowMs;
    if (!sounding && reading.running) startSound(reading);
    if (!sounding && silentSinceMs < 0 && reading.nowMs - startedAtMs >= waitForSoundMs) {
        silentSinceMs = reading.nowMs;
        tidewash_page_plays_silent(1);
    }
    // The position can step back a little when the browser revises its
    // latency, or when the sound joins a silent show; the demo's clock never
    // does.
    // Whole ms, down, past a hair's breadth of rounding error.
    const double ms = std::floor(musicMs(reading, shownAtMs) + 1e-6);
    if (ms > double(latest)) latest = ms >= 4294967295.0 ? 4294967295u : static_cast<std::uint32_t>(ms);
    return latest;
}

// Until the music is under way, the silent show's clock, or 0 (the show
// waits for it). A context's source is scheduled ahead of a running context
// and is under way once asked for; an audio element takes a moment to start,
// and its position stands still until it does.
double WebAudioClock::musicMs(const AudioReading& reading, double shownAtMs) {
    if (sounding && (reading.running || !reading.heardInSteps)) {
        const double offsetMs = reading.heardSecondsAt(reading.nowMs) * 1000.0 - reading.nowMs;
        heardOffset.add(offsetMs, reading.nowMs);
        const double steadiedMs = reading.heardInSteps ? heardOffset.mostAdvanced() : heardOffset.middle();
        return soundStartMusicMs + shownAtMs + steadiedMs - soundStartSeconds * 1000.0;
    }
    if (silentSinceMs >= 0) return shownAtMs - silentSinceMs;
    return 0;
}

// The music starts in the context a little ahead of what it has rendered,
// from 0, or in a silent show from the position the show will be at when
// that sound is heard. A source told to start at a time the context has
// already rendered starts late, by as much as the context renders ahead of
// currentTime (Firefox: 150 ms and more on a busy machine); one told to start
// ahead of it starts on time, so its music is where the context's clock says.
void WebAudioClock::startSound(const AudioReading& reading) {
    double fromMs = 0;
    if (silentSinceMs >= 0) {
        const double heardAtMs = reading.nowMs + (startLeadSeconds + reading.latencySeconds) * 1000.0;
        fromMs = heardAtMs - silentSinceMs;
        tidewash_page_plays_silent(0);
    }
    soundStartSeconds = tidewash_audio_play(fromMs / 1000.0, startLeadSeconds);
    soundStartMusicMs = fromMs;
    heardOffset.clear();
    sounding = true;
}
