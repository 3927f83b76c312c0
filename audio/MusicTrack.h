#pragma once

#include <cstdint>
#include <memory>

#include "audio/MusicFeed.h"
#include "audio/MusicStream.h"
#include "audio/PlayClock.h"

// A stream as the audio system plays it: the decoder, the feed decoding it
// ahead, its play clock, and where the music sits in the stream of frames the
// device plays. The device's frames are counted from its start; the music
// joins them once the device has said when its frames are heard and there is
// music to hand, at the position the clock will stand at when the joining
// frame is heard. Until then the device is handed silence. So the music
// starts in step even when the device starts late, and the clock's first
// report from the device is of music still to come, never of music heard
// already, which would step the picture. A device that has not said when its
// frames are heard reportWaitUs after the clock gave up on it gets the music
// on a guess; one whose word is not followed (it plays to nowhere) gets it at
// once.
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

    bool joins(std::int64_t nowUs) const;
    void join(std::uint64_t streamFrame, std::int64_t nowUs);

    std::unique_ptr<MusicStream> music;
    int mixRate;
    MusicFeed feed;
    PlayClock clock;
    std::int64_t seekFrame = 0;       // the music's frame the feed decodes from
    bool musicJoined = false;         // the audio thread's, from here on
    std::uint64_t joinStreamFrame = 0;  // the device's frame the music joined at
    std::int64_t joinMusicFrame = 0;    // and the music's frame played there
    bool deviceReported = false;        // the device's last report since the seek:
    std::uint64_t reportedStreamFrame = 0;  // this frame ...
    std::int64_t reportedAtUs = 0;          // ... is heard then
};
