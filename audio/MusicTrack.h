#pragma once

#include <cstdint>
#include <memory>

#include "audio/MusicFeed.h"
#include "audio/MusicStream.h"
#include "audio/PlayClock.h"

// A stream as the audio system plays it: the decoder, the feed decoding it
// ahead, its play clock, and where the music sits in the stream of frames the
// device plays. The device's frames are counted from its start; the music
// joins them at the first frame handed out once there is music to hand (or
// once the clock has given up waiting), at the position the clock says then,
// so music that starts late starts in step.
class MusicTrack {
public:
    // aheadFrames: how much music is decoded ahead of what is handed out.
    MusicTrack(std::unique_ptr<MusicStream> music, int mixRate, int aheadFrames, bool followDevice);

    // The handle the demo knows the stream by.
    MusicStream* stream() const { return music.get(); }

    // From the main thread while the device does not play the track: moves to
    // positionMs and decodes ahead from there; stands still until started.
    void seek(std::uint32_t positionMs);
    void start(std::int64_t nowUs) { clock.start(nowUs); }

    // From the frame loop: the play position, read from atomics.
    std::uint32_t positionMs(std::int64_t nowUs) { return clock.positionMs(nowUs); }

    // Whether decoded music is at hand (or the music is over).
    bool musicReady() const { return feed.ready(); }

    // From the audio thread, which never waits in them. Writes `frames`
    // frames, the first of which is the device's streamFrame, at nowUs.
    void render(std::int16_t* out, int frames, std::uint64_t streamFrame, std::int64_t nowUs);

    // The device's frame streamFrame is heard at atUs.
    void heard(std::uint64_t streamFrame, std::int64_t atUs);

private:
    std::unique_ptr<MusicStream> music;
    int mixRate;
    MusicFeed feed;
    PlayClock clock;
    std::int64_t seekFrame = 0;       // the music's frame the feed decodes from
    bool musicJoined = false;         // the audio thread's, from here on
    std::uint64_t joinStreamFrame = 0;  // the device's frame the music joined at
    std::int64_t joinMusicFrame = 0;    // and the music's frame played there
};
