#include "audio/SdlOutput.h"

#include <cstring>

#include "audio/MusicTrack.h"
#include "audio/SteadyTime.h"
#include "base/Soundtrack.h"

namespace {

constexpr Uint16 framesPerBuffer = 1024;  // about 23 ms at 44100 Hz
constexpr int channels = mixChannels;

// A frame handed to SDL is heard this many of its buffers later: the device
// plays the buffer it took before while the one just filled waits. Measured
// through PulseAudio (docs/benchmarks.md): the sound came out 1.85 buffers
// after the frames were taken.
constexpr std::int64_t outputDelayBuffers = 2;

}  // namespace

SdlOutput::~SdlOutput() {
    if (deviceOpen) SDL_CloseAudio();
}

bool SdlOutput::open(int mixRate) {
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) < 0) return false;
    SDL_AudioSpec wanted{};
    wanted.freq = mixRate;
    wanted.format = AUDIO_S16SYS;
    wanted.channels = channels;
    wanted.samples = framesPerBuffer;
    wanted.callback = &SdlOutput::mix;
    wanted.userdata = this;
    // Without an "obtained" format to fill in, SDL converts to whatever the
    // device takes. It sets the buffer size it chose in `wanted`.
    if (SDL_OpenAudio(&wanted, nullptr) < 0) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    deviceOpen = true;
    // SDL's dummy driver plays to nowhere and sleeps whole ms per buffer, so
    // the steady clock keeps better time than it; any other device is heard,
    // and the position follows it.
    char driver[32] = "";
    SDL_AudioDriverName(driver, sizeof driver);
    deviceKeepsTime = std::strcmp(driver, "dummy") != 0;
    outputDelayUs = outputDelayBuffers * wanted.samples * 1000000 / mixRate;
    SDL_PauseAudio(0);
    return true;
}

void SdlOutput::play(MusicTrack* track) {
    if (!deviceOpen) return;
    SDL_LockAudio();
    playing = track;
    SDL_UnlockAudio();
}

void SdlOutput::mix(void* self, Uint8* out, int bytes) {
    auto* output = static_cast<SdlOutput*>(self);
    const int frames = bytes / int(channels * sizeof(std::int16_t));
    const std::int64_t nowUs = steadyTimeUs();
    if (output->playing == nullptr) {
        std::memset(out, 0, size_t(bytes));
    } else {
        output->playing->render(reinterpret_cast<std::int16_t*>(out), frames, output->framesHanded, nowUs);
        if (output->deviceKeepsTime) output->playing->heard(output->framesHanded, nowUs + output->outputDelayUs);
    }
    output->framesHanded += std::uint64_t(frames);
}
