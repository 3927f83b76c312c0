#include "runtime/SoundtrackClock.h"

#include "audio/Audio.h"
#include "runtime/Failure.h"

const char* const soundtrackFile = "Quietfall.MP3";

MusicStream* musicStream = nullptr;

std::uint32_t musicTime() { return audio::streamTime(musicStream); }

void SoundtrackClock::start() {
    musicStream = audio::openStream(soundtrackFile);
    if (musicStream == nullptr) throw Failure("Cannot find file quietfall.mp3!");
    audio::setStreamTime(musicStream, 0);
    audio::playStream(musicStream);
}
