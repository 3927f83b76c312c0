#pragma once

#include <cstdint>
#include <vector>

#include "web/AudioReading.h"

// Stand-ins for the page's JavaScript that the web platform layer calls
// (library_webaudio.js, library_page.js), so the web clock and frame end run
// natively: the audio context and the animation frames follow a script, the
// soundtrack is there or not, and what the page is told is kept.
namespace pageStandIns {

// Forgets the script and the reports; the soundtrack is there.
void reset();

// What the audio context tells, one reading per read; once the list is used
// up the last one repeats.
void setReadings(std::vector<AudioReading> readings);

// A context that runs from the start with a plain clock (no output timestamp,
// no latency), the music starting at context time 0: reading n has
// currentTime seconds[n] and is taken when its frame is shown, one 60 Hz
// interval after the frame's time, so that the position is seconds[n].
void setSeconds(const std::vector<double>& seconds);

// The animation frame times, one per read, repeating the last.
void setFrameTimes(std::vector<double> frameMs);

// Whether the page could fetch and decode the soundtrack.
void setSoundtrackPresent(bool present);

// The context time the music starts at when the clock asks for it (however
// far ahead it asks); 0 unless set, so that context times are music times.
void setMusicStartSeconds(double seconds);

// The music positions (s) the clock asked the page to play from.
const std::vector<double>& playRequests();

// What the page was told about playing in silence, in order.
const std::vector<bool>& silentNotices();

// The positions the frame end reported, one per frame.
const std::vector<std::uint32_t>& shownPositions();

}  // namespace pageStandIns
