#include "runtime/MusicClock.h"

#include "audio/Audio.h"

MusicStream* musicStream = nullptr;

std::uint32_t musicTime() { return audio::streamTime(musicStream); }
