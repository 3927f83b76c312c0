#pragma once

#include <cstdint>

#include "web/AudioReading.h"
#include "web/FrameShowTime.h"
#include "web/FrameClock.h"
#include "web/HeardOffset.h"

// The browser's clock: the position of Quietfall.MP3 being heard when the
// frame in progress reaches the screen, as the page's Web Audio context (in
// Firefox, its audio element) plays it. In whole ms, never decreasing, and
// growing on after the music ends, as the audio context's clock does. If the
// context does not run within a second of the first frame (no sound device,
// or the browser will not start sound), the show plays in silence on the
// page's steady clock and the page says so; once the context runs, the music
// starts where the show is, and the clock follows it.
class WebAudioClock : public FrameClock {
public:
    // Plays the decoded soundtrack from 0 once the audio context runs. Throws
    // Failure when the page could not fetch or decode it.
    void start() override;
    std::uint32_t position() override;
    std::uint32_t framePosition() const override { return latest; }

private:
    static constexpr double waitForSoundMs = 1000;
    static constexpr double startLeadSeconds = 0.5;

    // The music position in ms heard at shownAtMs, from this reading.
    double musicMs(const AudioReading& reading, double shownAtMs);
    void startSound(const AudioReading& reading);

    FrameShowTime showTime;
    HeardOffset heardOffset;
    double startedAtMs = -1;         // the first reading, in the show's first frame
    double silentSinceMs = -1;       // when the show began in silence; < 0 if it did not
    bool sounding = false;
    double soundStartSeconds = 0;    // the context time at which the music started ...
    double soundStartMusicMs = 0;    // ... from this position
    std::uint32_t latest = 0;
};
