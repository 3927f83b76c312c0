#pragma once

#include <SDL.h>

#include <cstdint>

#include "audio/AudioOutput.h"

// SDL's audio device, for SDL's own drivers (the dummy driver that tests run
// with, ALSA on a machine with no sound server). SDL calls back for frames
// with its audio lock held; a frame handed over is taken to be heard two of
// SDL's buffers later, which is how PulseAudio played them through SDL.
class SdlOutput : public AudioOutput {
public:
    SdlOutput() = default;
    ~SdlOutput() override;
    SdlOutput(const SdlOutput&) = delete;
    SdlOutput& operator=(const SdlOutput&) = delete;

    bool open(int mixRate) override;
    void play(MusicTrack* track) override;
    bool keepsTime() const override { return deviceKeepsTime; }

private:
    static void mix(void* self, Uint8* out, int bytes);

    bool deviceOpen = false;
    bool deviceKeepsTime = false;
    std::int64_t outputDelayUs = 0;
    // Touched by SDL's audio thread with the audio lock held.
    MusicTrack* playing = nullptr;
    std::uint64_t framesHanded = 0;
};
