#include "live/SoundtrackClock.h"

#include "audio/Audio.h"
#include "base/Failure.h"
#include "base/Soundtrack.h"

MusicStream* musicStream = nullptr;

std::uint32_t musicTime() { return audio::streamTime(musicStream); }

void SoundtrackClock::start() {
    musicStream = audio::openStream(soundtrackFile);
    if (musicStream == nullptr) throw Failure(missingSoundtrackMessage);
    audio::setStreamTime(musicStream, 0);
    audio::playStream(musicStream);
}
