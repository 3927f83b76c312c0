#pragma once

#include <SDL.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "audio/MusicStream.h"
#include "base/Soundtrack.h"

// The sound device and the streams it plays. Decoding happens on SDL's audio
// callback; every access from the main thread to what the callback touches is
// made with the callback locked out.
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
    static void mix(void* self, Uint8* out, int bytes);
    static std::int64_t steadyNowUs();

    int mixRate = ::mixRate;
    bool deviceOpen = false;
    bool deviceKeepsTime = false;         // whether the device plays at the pace of time, to someone
    std::uint32_t outputDelayFrames = 0;  // frames the device holds before they are heard
    std::vector<std::unique_ptr<MusicStream>> streams;
    MusicStream* playing = nullptr;
};
