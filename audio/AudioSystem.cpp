#include "audio/AudioSystem.h"

#include <chrono>
#include <cstring>

namespace {

constexpr Uint16 framesPerBuffer = 1024;  // about 23 ms at 44100 Hz
constexpr int channels = 2;

// A frame handed to SDL is heard this many of its buffers later: the device
// plays the buffer it took before while the one just filled waits. Measured
// through PulseAudio (docs/benchmarks.md): the sound came out 1.85 buffers
// after the frames were taken.
constexpr std::uint32_t outputDelayBuffers = 2;

// Holds the audio callback off for as long as it lives.
class CallbackLock {
public:
    CallbackLock() { SDL_LockAudio(); }
    ~CallbackLock() { SDL_UnlockAudio(); }
    CallbackLock(const CallbackLock&) = delete;
    CallbackLock& operator=(const CallbackLock&) = delete;
};

}  // namespace

bool AudioSystem::init(int rate) {
    mixRate = rate;
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) < 0) return false;
    SDL_AudioSpec wanted{};
    wanted.freq = rate;
    wanted.format = AUDIO_S16SYS;
    wanted.channels = channels;
    wanted.samples = framesPerBuffer;
    wanted.callback = &AudioSystem::mix;
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
    outputDelayFrames = deviceKeepsTime ? outputDelayBuffers * std::uint32_t(wanted.samples) : 0;
    SDL_PauseAudio(0);
    return true;
}

void AudioSystem::close() {
    if (deviceOpen) {
        SDL_CloseAudio();
        deviceOpen = false;
    }
    deviceKeepsTime = false;
    outputDelayFrames = 0;
    playing = nullptr;
    streams.clear();
}

MusicStream* AudioSystem::openStream(const char* fileName) {
    std::unique_ptr<MusicStream> stream = MusicStream::open(fileName, mixRate);
    if (!stream) return nullptr;
    stream->setDeviceTiming(deviceKeepsTime, outputDelayFrames);
    streams.push_back(std::move(stream));
    return streams.back().get();
}

void AudioSystem::setStreamTime(MusicStream* stream, std::uint32_t positionMs) {
    if (stream == nullptr) return;
    const CallbackLock lock;
    if (stream == playing) playing = nullptr;
    stream->seek(positionMs);
}

void AudioSystem::playStream(MusicStream* stream) {
    if (stream == nullptr) return;
    const CallbackLock lock;
    stream->start(steadyNowUs());
    playing = stream;
}

std::uint32_t AudioSystem::streamTime(MusicStream* stream) {
    if (stream == nullptr) return 0;
    const CallbackLock lock;
    return stream->positionMs(steadyNowUs());
}

void AudioSystem::mix(void* self, Uint8* out, int bytes) {
    auto* system = static_cast<AudioSystem*>(self);
    auto* samples = reinterpret_cast<std::int16_t*>(out);
    const int frames = bytes / int(channels * sizeof(std::int16_t));
    if (system->playing == nullptr) {
        std::memset(out, 0, size_t(bytes));
        return;
    }
    system->playing->fill(samples, frames, steadyNowUs());
}

std::int64_t AudioSystem::steadyNowUs() {
    using namespace std::chrono;
    return duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count();
}
