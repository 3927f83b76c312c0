#include "audio/Audio.h"

#include "audio/AudioSystem.h"

namespace {

// The one audio system of the process, made on first use (by the media system,
// before main) and so destroyed after it at exit.
AudioSystem& audioSystem() {
    static AudioSystem system;
    return system;
}

}  // namespace

namespace audio {

bool init(int mixRate) { return audioSystem().init(mixRate); }
void close() { audioSystem().close(); }
MusicStream* openStream(const char* fileName) { return audioSystem().openStream(fileName); }
void setStreamTime(MusicStream* stream, std::uint32_t positionMs) { audioSystem().setStreamTime(stream, positionMs); }
void playStream(MusicStream* stream) { audioSystem().playStream(stream); }
std::uint32_t streamTime(MusicStream* stream) { return audioSystem().streamTime(stream); }

}  // namespace audio
