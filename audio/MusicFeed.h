#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>

#include "audio/SampleRing.h"

class MusicStream;

// Decodes a MusicStream ahead of playback on a thread of its own, into a ring
// the audio thread takes from without waiting. Reading the file and running
// the decoder, which can wait on a slow disk or a stalled FIFO, happen only
// on that thread.
class MusicFeed {
public:
    MusicFeed(MusicStream& music, int aheadFrames);
    ~MusicFeed() { stop(); }
    MusicFeed(const MusicFeed&) = delete;
    MusicFeed& operator=(const MusicFeed&) = delete;

    // Decoding runs from where the stream stands until stop() or the music's
    // end; stop() returns once the thread is gone (a read in progress may
    // first take up to the stream's wait for data).
    void start();
    void stop();

    // While stopped: forgets what was decoded and what is owed.
    void clear();

    // The audio thread's side. Whether there is music to hand out or the
    // music is over.
    bool ready() const;

    // Writes `frames` frames: the music decoded so far, then silence for the
    // rest. The music that silence stands in for is owed: it is skipped when
    // it comes, so that the music stays in step with the frames handed out.
    void take(std::int16_t* out, int frames);

    // The next `frames` frames of the music are not to be played.
    void skip(std::int64_t frames) { owed += frames; }

private:
    void run();

    MusicStream& music;
    SampleRing ring;
    std::thread thread;
    std::mutex mutex;  // guards stopping; the audio thread never takes it
    std::condition_variable wake;
    bool stopping = false;
    std::atomic<bool> musicOver{false};
    std::int64_t owed = 0;  // the audio thread's: frames of music to skip
};
