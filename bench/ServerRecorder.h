#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

// A recording of a sink's monitor in this process, each stretch stamped with
// the time the sound server says its first sample was heard at the sink (the
// steady clock), rather than when it reached the recorder: the recorder's own
// delay is then the server's to account for, not ours to guess.
class ServerRecorder {
public:
    struct Stamp {
        std::int64_t sample;  // index of the first sample of a stretch
        double heardUs;       // when the server says it was heard
    };

    // The recorder for "pulseaudio" or "pipewire"; throws for another name.
    // `alone`: no other program records the sink.
    static std::unique_ptr<ServerRecorder> forServer(const std::string& server, bool alone);

    virtual ~ServerRecorder() = default;

    // Starts recording SINK's monitor at `rate` Hz; false when it cannot.
    virtual bool start(const std::string& sink, int rate) = 0;

    // Moves what was recorded since the last call (mixed to mono) and its
    // stamps onto the ends of mono and stamps.
    void take(std::vector<float>& mono, std::vector<Stamp>& stamps);

protected:
    // The server's thread appends under the lock; take() moves them out.
    std::mutex lock;
    std::vector<float> pendingMono;
    std::vector<Stamp> pendingStamps;
};
