#include "live/MediaSystem.h"

#include <SDL.h>

#include <cstdlib>

#include "audio/Audio.h"
#include "base/Soundtrack.h"
#include "base/Window.h"

namespace {
constexpr int screenBits = 16;
}  // namespace

MediaSystem::MediaSystem() {
    // main looks for the window before it builds the demo, and a missing sound
    // device only means a silent demo, so no result is reported from here.
    audio::init(mixRate);
    // OpenGL windows come from the driver the build names (X11 on Linux).
    // Left to probe, SDL would fall back to its text-mode drivers, which draw
    // on the terminal and cannot do OpenGL anyway. A driver the viewer names
    // in SDL_VIDEODRIVER still wins.
#ifdef TIDEWASH_VIDEO_DRIVER
    setenv("SDL_VIDEODRIVER", TIDEWASH_VIDEO_DRIVER, 0);
#endif
    // SDL 1.2 crashes in SDL_GL_SetAttribute when video failed to start (no X
    // display), so the window is only asked for when it can be.
    if (SDL_Init(SDL_INIT_VIDEO) < 0) return;
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_SetVideoMode(windowWidth, windowHeight, screenBits, SDL_OPENGL | SDL_FULLSCREEN);
}

MediaSystem::~MediaSystem() {
    SDL_Quit();
    audio::close();
}

MediaSystem mediaSystem;
