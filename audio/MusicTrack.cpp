#include "audio/MusicTrack.h"

#include "base/Soundtrack.h"

#include <algorithm>

namespace {
constexpr int channels = mixChannels;
}  // namespace

MusicTrack::MusicTrack(std::unique_ptr<MusicStream> stream, int mixRate, int aheadFrames, bool followDevice)
    : music(std::move(stream)), mixRate(mixRate), feed(*music, aheadFrames), clock(mixRate) {
    clock.followDevice(followDevice);
}

void MusicTrack::seek(std::uint32_t positionMs) {
    feed.stop();
    music->seek(positionMs);
    feed.clear();
    clock.reset(positionMs);
    seekFrame = std::int64_t(positionMs) * mixRate / 1000;
    musicJoined = false;
    feed.start();
}

void MusicTrack::render(std::int16_t* out, int frames, std::uint64_t streamFrame, std::int64_t nowUs) {
    if (!musicJoined) {
        if (!feed.ready() && !clock.pastStartLimit(nowUs)) {
            std::fill(out, out + frames * channels, std::int16_t(0));
            return;
        }
        musicJoined = true;
        joinStreamFrame = streamFrame;
        joinMusicFrame = clock.unheardPositionUs(nowUs) * mixRate / 1000000;
        feed.skip(joinMusicFrame - seekFrame);
    }
    feed.take(out, frames);
}

void MusicTrack::heard(std::uint64_t streamFrame, std::int64_t atUs) {
    if (!musicJoined) return;
    clock.anchor(joinMusicFrame + (std::int64_t(streamFrame) - std::int64_t(joinStreamFrame)), atUs);
}
