#include "window/WindowFrameEnd.h"

#include <SDL.h>

#include <iostream>

#include "base/Window.h"
#include "runtime/MusicClock.h"

void WindowFrameEnd::beginShow() { SDL_WM_SetCaption(windowTitle, iconTitle); }

bool WindowFrameEnd::endFrame() {
    SDL_GL_SwapBuffers();
    return !viewerQuits();
}

// Handles the events queued since the last frame. Space writes the music
// position; returns true when the viewer asks to quit (Escape or closing the
// window), leaving any later events unread.
bool WindowFrameEnd::viewerQuits() {
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
        if (event.type == SDL_QUIT) return true;
        if (event.type != SDL_KEYDOWN) continue;
        if (event.key.keysym.sym == SDLK_ESCAPE) return true;
        if (event.key.keysym.sym == SDLK_SPACE) std::cout << clock.position() << std::endl;
    }
    return false;
}
