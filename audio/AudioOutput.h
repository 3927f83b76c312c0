#pragma once

class MusicTrack;

// A sound device the audio system plays a track on. The device's own thread
// asks the track for frames and tells it when they are heard; the main thread
// only opens, closes and says which track plays.
class AudioOutput {
public:
    virtual ~AudioOutput() = default;

    // Starts the device at mixRate Hz (16-bit stereo); false when it cannot.
    virtual bool open(int mixRate) = 0;

    // Plays `track` from now on, or silence for null. On return the device's
    // thread no longer touches the track played before.
    virtual void play(MusicTrack* track) = 0;

    // Whether the device plays at the pace of time, to someone, and says when
    // its frames are heard: the play position then follows it.
    virtual bool keepsTime() const = 0;
};
