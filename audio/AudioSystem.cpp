#include "audio/AudioSystem.h"

#include <cstdlib>
#include <cstring>

#include "audio/SdlOutput.h"
#include "audio/SteadyTime.h"
#ifdef _WIN32
#include "audio/WasapiOutput.h"
#else
#include "audio/PulseOutput.h"
#endif

namespace {

// Music decoded ahead of what the device plays: a stalling source has this
// long to catch up before the sound goes silent.
constexpr int aheadSeconds = 2;

// The system's own sound (a sound server; WASAPI on Windows) is tried unless
// SDL_AUDIODRIVER names another of SDL's drivers (the dummy driver, say).
bool wantsSystemSound() {
    const char* driver = std::getenv("SDL_AUDIODRIVER");
    return driver == nullptr || *driver == '\0' || std::strcmp(driver, "pulse") == 0 ||
           std::strcmp(driver, "pulseaudio") == 0 || std::strcmp(driver, "wasapi") == 0;
}

std::unique_ptr<AudioOutput> systemOutput() {
#ifdef _WIN32
    return std::make_unique<WasapiOutput>();
#else
    return std::make_unique<PulseOutput>();
#endif
}

}  // namespace

bool AudioSystem::init(int rate) {
    mixRate = rate;
    if (wantsSystemSound()) {
        output = systemOutput();
        if (output->open(rate)) return true;
    }
    output = std::make_unique<SdlOutput>();
    if (output->open(rate)) return true;
    output.reset();
    return false;
}

void AudioSystem::close() {
    output.reset();
    playing = nullptr;
    tracks.clear();
}

MusicStream* AudioSystem::openStream(const char* fileName) {
    std::unique_ptr<MusicStream> stream = MusicStream::open(fileName, mixRate);
    if (!stream) return nullptr;
    const bool followDevice = output != nullptr && output->keepsTime();
    tracks.push_back(std::make_unique<MusicTrack>(std::move(stream), mixRate, aheadSeconds * mixRate, followDevice));
    return tracks.back()->stream();
}

void AudioSystem::setStreamTime(MusicStream* stream, std::uint32_t positionMs) {
    MusicTrack* const seeking = track(stream);
    if (seeking == nullptr) return;
    if (seeking == playing) {
        if (output) output->play(nullptr);
        playing = nullptr;
    }
    seeking->seek(positionMs);
}

void AudioSystem::playStream(MusicStream* stream) {
    MusicTrack* const starting = track(stream);
    if (starting == nullptr) return;
    if (output) output->play(nullptr);
    starting->start(steadyTimeUs());
    if (output) output->play(starting);
    playing = starting;
}

std::uint32_t AudioSystem::streamTime(MusicStream* stream) {
    MusicTrack* const reading = track(stream);
    return reading == nullptr ? 0 : reading->positionMs(steadyTimeUs());
}

MusicTrack* AudioSystem::track(MusicStream* stream) {
    if (stream == nullptr) return nullptr;
    for (const std::unique_ptr<MusicTrack>& candidate : tracks)
        if (candidate->stream() == stream) return candidate.get();
    return nullptr;
}
