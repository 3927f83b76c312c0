#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "audio/AudioOutput.h"
#include "audio/MusicTrack.h"
#include "base/Soundtrack.h"

// The sound device and the tracks it plays. A sound server is played through
// libpulse, and Windows' sound through WASAPI, each of which says when each
// frame is heard; SDL's own drivers serve when SDL_AUDIODRIVER names one of
// them or the system's sound will not open. The main thread
// reads positions without touching the device: only starting a track, or
// seeking it, waits for the device's thread.
class AudioSystem {
public:
    AudioSystem() = default;
    ~AudioSystem() { close(); }
    AudioSystem(const AudioSystem&) = delete;
    AudioSystem& operator=(const AudioSystem&) = delete;

    bool init(int mixRate);
    void close();

    MusicStream* openStream(const char* fileName);
    void setStreamTime(MusicStream* stream, std::uint32_t positionMs);
    void playStream(MusicStream* stream);
    std::uint32_t streamTime(MusicStream* stream);

private:
    MusicTrack* track(MusicStream* stream);

    int mixRate = ::mixRate;
    std::unique_ptr<AudioOutput> output;
    std::vector<std::unique_ptr<MusicTrack>> tracks;
    MusicTrack* playing = nullptr;
};
