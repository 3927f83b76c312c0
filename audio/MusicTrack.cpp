#include "audio/MusicTrack.h"

#include "base/Soundtrack.h"

#include <algorithm>

namespace {
constexpr int channels = mixChannels;
}  // namespace

MusicTrack::MusicTrack(std::unique_ptr<MusicStream> stream, int mixRate, int aheadFrames, bool followDevice)
    : music(std::move(stream)), mixRate(mixRate), feed(*music, aheadFrames), clock(mixRate),
      followsDevice(followDevice) {
    clock.followDevice(followDevice);
}

void MusicTrack::seek(std::uint32_t positionMs) {
    feed.stop();
    music->seek(positionMs);
    feed.clear();
    clock.reset(positionMs);
    seekFrame = std::int64_t(positionMs) * mixRate / 1000;
    nextMusicFrame = seekFrame;
    musicJoined = false;
    deviceReported = false;
    feed.start();
}

void MusicTrack::render(std::int16_t* out, int frames, std::uint64_t streamFrame, std::int64_t nowUs) {
    if (!musicJoined) {
        const bool clockGaveUp = clock.pastStartLimit(nowUs);
        const bool waitsForReport = clockGaveUp && followsDevice && !deviceReported &&
                                    !clock.pastStartLimit(nowUs - reportWaitUs);
        if ((!feed.ready() && !clockGaveUp) || waitsForReport) {
            std::fill(out, out + frames * channels, std::int16_t(0));
            return;
        }
        join(streamFrame, nowUs);
    }
    feed.take(out, frames);
    nextMusicFrame += frames;
}

void MusicTrack::join(std::uint64_t streamFrame, std::int64_t nowUs) {
    const std::int64_t heardAtUs =
        deviceReported ? reportedAtUs + (std::int64_t(streamFrame) - std::int64_t(reportedStreamFrame)) * 1000000 / mixRate
                       : nowUs;
    musicJoined = true;
    joinedUnheard = !deviceReported;
    joinStreamFrame = streamFrame;
    joinMusicFrame = std::max(nextMusicFrame, clock.unheardPositionUs(heardAtUs) * mixRate / 1000000);
    feed.skip(joinMusicFrame - nextMusicFrame);
    nextMusicFrame = joinMusicFrame;
}

void MusicTrack::heard(std::uint64_t streamFrame, std::int64_t atUs) {
    // The device's first word comes after the clock gave up on it: the music
    // handed out before is late, and joins again where the clock is.
    if (musicJoined && joinedUnheard && !deviceReported && clock.pastStartLimit(atUs)) musicJoined = false;
    deviceReported = true;
    reportedStreamFrame = streamFrame;
    reportedAtUs = atUs;
    if (!musicJoined) return;
    clock.anchor(joinMusicFrame + (std::int64_t(streamFrame) - std::int64_t(joinStreamFrame)), atUs);
}
