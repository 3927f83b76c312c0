#pragma once

#include <atomic>
#include <cstdint>
#include <future>
#include <mutex>
#include <thread>

#include "audio/AudioOutput.h"
#include "audio/HeardEstimate.h"

// A shared-mode WASAPI stream on Windows' default sound device (under Wine,
// its PulseAudio driver). A thread of its own opens the device, refills the
// stream's buffer when the device signals for more, and follows what the
// device says is heard: IAudioClock's position (the frame being played, the
// stream's latency included), stamped with the performance counter and
// smoothed by a HeardEstimate. The main thread takes a lock only to say which
// track plays.
class WasapiOutput : public AudioOutput {
public:
    WasapiOutput() = default;
    ~WasapiOutput() override;
    WasapiOutput(const WasapiOutput&) = delete;
    WasapiOutput& operator=(const WasapiOutput&) = delete;

    // False when there is no sound device or it will not open in shared mode
    // for 16-bit stereo at mixRate.
    bool open(int mixRate) override;
    void play(MusicTrack* track) override;
    bool keepsTime() const override { return true; }

private:
    void run(std::promise<bool> opened);

    int mixRate = 44100;
    std::thread device;
    std::atomic<bool> stopping{false};
    std::mutex trackLock;
    MusicTrack* playing = nullptr;  // under trackLock
};
