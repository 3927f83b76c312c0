#include <GL/gl.h>
#include <SDL.h>

#include <iostream>
#include <string>

#include "base/Failure.h"
#include "live/SoundtrackClock.h"
#include "runtime/Demo.h"
#include "window/WindowFrameEnd.h"

namespace {

// The media system opened the window before main; without a window and an
// OpenGL context there is nothing to draw with, so stop before any GL call.
void requireWindow() {
    if (SDL_GetVideoSurface() == nullptr)
        throw Failure(std::string("Cannot open the OpenGL window: ") + SDL_GetError());
    if (glGetString(GL_VERSION) == nullptr) throw Failure("Cannot open the OpenGL window: no OpenGL context");
}

}  // namespace

int main(int, char**) {
    try {
        requireWindow();
        SoundtrackClock clock;
        WindowFrameEnd frameEnd(clock);
        Demo demo;
        demo.run(clock, frameEnd);
        const std::uint32_t fps = demo.averageFps();
        std::cout << "FPS: " << fps << std::endl;
    } catch (const Failure& failure) {
        std::cout << "ERROR: " << failure.what() << std::endl;
        return 1;
    }
    return 0;
}
