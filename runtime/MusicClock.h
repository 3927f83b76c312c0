#pragma once

#include <cstdint>

// Where the music position comes from: the demo's only clock. The live demo
// reads the playing soundtrack; the capture program counts frames at a fixed
// rate; the browser reads its audio context.
class MusicClock {
public:
    virtual ~MusicClock() = default;

    // Starts the music from position 0. Throws Failure when the soundtrack
    // cannot be opened.
    virtual void start() = 0;

    // The current position in ms.
    virtual std::uint32_t position() = 0;
};
