#pragma once

#include <cstdint>

class MusicStream;

// The soundtrack stream: null until the frame loop opens it; never closed by
// the program (the audio layer frees it when it shuts down at exit).
extern MusicStream* musicStream;

// The soundtrack's play position in ms: the demo's only clock.
std::uint32_t musicTime();
