#include "audio/MusicFeed.h"

#include <algorithm>
#include <chrono>
#include <vector>

#include "audio/MusicStream.h"
#include "base/Soundtrack.h"

namespace {
constexpr int channels = mixChannels;
constexpr int chunkFrames = 4096;  // decoded at a time: about 93 ms at 44100 Hz

// How often the thread looks for room in a full ring: a small part of what
// the ring holds.
constexpr auto topUpInterval = std::chrono::milliseconds(20);
}  // namespace

MusicFeed::MusicFeed(MusicStream& music, int aheadFrames) : music(music), ring(aheadFrames) {}

void MusicFeed::start() {
    stop();
    stopping = false;
    thread = std::thread(&MusicFeed::run, this);
}

void MusicFeed::stop() {
    if (!thread.joinable()) return;
    {
        const std::lock_guard<std::mutex> lock(mutex);
        stopping = true;
    }
    wake.notify_one();
    thread.join();
}

void MusicFeed::clear() {
    ring.clear();
    owed = 0;
    musicOver = false;
}

void MusicFeed::run() {
    std::vector<std::int16_t> chunk(size_t(chunkFrames) * channels);
    std::unique_lock<std::mutex> lock(mutex);
    while (!stopping) {
        if (ring.space() < chunkFrames) {
            wake.wait_for(lock, topUpInterval);
            continue;
        }
        lock.unlock();
        const int decoded = music.decode(chunk.data(), chunkFrames);
        ring.write(chunk.data(), decoded);
        const bool over = music.over();
        lock.lock();
        if (over) {
            musicOver = true;
            break;
        }
    }
}

bool MusicFeed::ready() const { return musicOver || ring.available() > 0; }

void MusicFeed::take(std::int16_t* out, int frames) {
    owed -= ring.discard(int(std::min<std::int64_t>(owed, ring.available())));
    const int got = owed > 0 ? 0 : ring.read(out, frames);
    std::fill(out + got * channels, out + frames * channels, std::int16_t(0));
    owed += frames - got;
}
