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
// once the clock has given up waiting for the device), at the position the
// clock will stand at when that frame is heard, so music that starts late
// starts in step.
//
// Once the clock has given up on a device and runs on the steady clock, only
// the device's word tells when a frame handed out now is heard: until it has
// reported (for at most reportWaitUs more), it is handed silence. Music
// handed to a device before the clock gave up on it is played late if the
// device starts after that: its first report then has the music join again
// where the clock is, and the music already handed out plays on to its end
// before the sound comes in step.
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
    // How long, past the clock giving up, the music waits for the device to
    // say when its frames are heard before it joins on a guess.
    static constexpr std::int64_t reportWaitUs = 2000000;

    // Where the music joins the device's stream, for the frame streamFrame
    // handed out at nowUs.
    void join(std::uint64_t streamFrame, std::int64_t nowUs);

    std::unique_ptr<MusicStream> music;
    int mixRate;
    MusicFeed feed;
    PlayClock clock;
    bool followsDevice;
    std::int64_t seekFrame = 0;       // the music's frame the feed decodes from
    bool musicJoined = false;         // the audio thread's, from here on
    bool joinedUnheard = false;       // joined before the device reported
    std::uint64_t joinStreamFrame = 0;  // the device's frame the music joined at
    std::int64_t joinMusicFrame = 0;    // and the music's frame played there
    std::int64_t nextMusicFrame = 0;    // the music's frame the feed hands out next
    bool deviceReported = false;        // the device's last report since the seek:
    std::uint64_t reportedStreamFrame = 0;  // this frame ...
    std::int64_t reportedAtUs = 0;          // ... is heard then
};
