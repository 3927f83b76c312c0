#pragma once

#include <SDL.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// Stand-ins for SDL's window calls and for the audio layer, so the frame loop
// runs with no display and no sound: the music position comes from a script,
// input events are queued by the test, and swaps and captions are written to
// the GL call log (tests/support/GlRecorder.h) in order with the GL calls.
namespace scriptedPlatform {

// Forgets events, opened files and the clock script; the soundtrack opens.
void reset();

// The clock: called with the number of earlier readings (0 for the first).
void setClock(std::function<std::uint32_t(int reading)> clock);

// Readings follow the list; once it is used up the last value repeats.
void setPositions(std::vector<std::uint32_t> positions);

// Whether the next openStream finds the soundtrack.
void setSoundtrackPresent(bool present);

// Queues an event that SDL_PollEvent hands out once `swaps` buffer swaps have
// been made.
void queueEventAfterSwap(int swaps, SDL_Event event);
SDL_Event keyDown(SDLKey key);
SDL_Event quitEvent();

// Files the frame loop tried to open, in order.
const std::vector<std::string>& openedFiles();

// How many queued events were never polled.
int unreadEvents();

}  // namespace scriptedPlatform
