#include "web/BrowserFrameEnd.h"

#include <SDL/SDL.h>

#include <iostream>

#include "web/WebAudioClock.h"

// From library_page.js.
extern "C" void tidewash_page_frame_shown(unsigned positionMs);

bool BrowserFrameEnd::endFrame() {
    // The runner read the clock once for this frame, so its latest value is
    // the position the frame was drawn for.
    tidewash_page_frame_shown(clock.latestPosition());
    SDL_GL_SwapBuffers();
    return !viewerQuits();
}

// Handles the key presses queued since the last frame, as the live demo does:
// Space writes the music position; Escape (or the page going away) ends the
// show, leaving any later events unread.
bool BrowserFrameEnd::viewerQuits() {
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
        if (event.type == SDL_QUIT) return true;
        if (event.type != SDL_KEYDOWN) continue;
        if (event.key.keysym.sym == SDLK_ESCAPE) return true;
        if (event.key.keysym.sym == SDLK_SPACE) std::cout << clock.position() << std::endl;
    }
    return false;
}
