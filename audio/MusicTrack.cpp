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
    deviceReported = false;
    feed.start();
}

void MusicTrack::render(std::int16_t* out, int frames, std::uint64_t streamFrame, std::int64_t nowUs) {
    if (!musicJoined) {
        if (!joins(nowUs)) {
            std::fill(out, out + frames * channels, std::int16_t(0));
            return;
        }
        join(streamFrame, nowUs);
    }
    feed.take(out, frames);
}

// Whether the music joins the device's stream now: once the device has said
// when its frames are heard (or waiting for that is over) and there is music
// to hand (or the clock has given up waiting and the feed owes what is late).
bool MusicTrack::joins(std::int64_t nowUs) const {
    const bool knowsWhenHeard = deviceReported || !clock.followsDevice() || clock.pastStartLimit(nowUs - reportWaitUs);
    return knowsWhenHeard && (feed.ready() || clock.pastStartLimit(nowUs));
}

// The music joins at streamFrame with the position the clock will stand at
// when that frame is heard, by the device's last report (or, failing one,
// now).
void MusicTrack::join(std::uint64_t streamFrame, std::int64_t nowUs) {
    const std::int64_t heardAtUs =
        deviceReported ? reportedAtUs + (std::int64_t(streamFrame) - std::int64_t(reportedStreamFrame)) * 1000000 / mixRate
                       : nowUs;
    musicJoined = true;
    joinStreamFrame = streamFrame;
    joinMusicFrame = clock.unheardPositionUs(heardAtUs) * mixRate / 1000000;
    feed.skip(joinMusicFrame - seekFrame);
}

void MusicTrack::heard(std::uint64_t streamFrame, std::int64_t atUs) {
    deviceReported = true;
    reportedStreamFrame = streamFrame;
    reportedAtUs = atUs;
    if (musicJoined) clock.anchor(joinMusicFrame + (std::int64_t(streamFrame) - std::int64_t(joinStreamFrame)), atUs);
}
