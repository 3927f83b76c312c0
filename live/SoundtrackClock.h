#pragma once

#include <cstdint>

#include "runtime/MusicClock.h"

class MusicStream;

// The soundtrack stream: null until the clock starts it; never closed by the
// program (the audio layer frees it when it shuts down at exit).
extern MusicStream* musicStream;

// The soundtrack's play position in ms.
std::uint32_t musicTime();

// The live demo's clock: the position of Quietfall.MP3 as it plays.
class SoundtrackClock : public MusicClock {
public:
    void start() override;
    std::uint32_t position() override { return musicTime(); }
};
