#pragma once

#include <cstdint>
#include <vector>

// Stand-ins for the page's JavaScript that the web platform layer calls
// (library_webaudio.js, library_page.js), so the web clock and frame end run
// natively: the audio clock follows a script, the soundtrack is there or not,
// and the positions the frame end reports are kept.
namespace pageStandIns {

// Forgets the script and the reports; the soundtrack is there.
void reset();

// The music seconds the audio context reports, one per reading; once the list
// is used up the last value repeats.
void setSeconds(std::vector<double> seconds);

// Whether the page could fetch and decode the soundtrack.
void setSoundtrackPresent(bool present);

// How often the clock asked the page to play.
int playRequests();

// The positions the frame end reported, one per frame.
const std::vector<std::uint32_t>& shownPositions();

}  // namespace pageStandIns
