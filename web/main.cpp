// The demo in a web page. The page calls main once the viewer has pressed
// Start and the soundtrack is decoded, with the canvas size in pixels and,
// to play frame by frame as tidewash-capture renders, a frame rate; main
// opens the WebGL canvas, builds the demo and starts the show, and the browser
// then calls frame() once per animation frame until the show is over. The
// lines the live demo writes ("FPS: N", "ERROR: ...", the position on Space)
// go to standard output, which the page shows and logs.
#include <GL/gl.h>
#include <SDL/SDL.h>
#include <emscripten.h>

#include <cstdlib>
#include <iostream>
#include <string>

#include "base/Failure.h"
#include "base/Window.h"
#include "runtime/Demo.h"
#include "web/BrowserFrameEnd.h"
#include "web/WebAudioClock.h"
#include "web/GlFunctions.h"
#include "web/SteppedClock.h"

// From library_page.js.
extern "C" {
void tidewash_page_show_begins();
void tidewash_page_show_ends();
int tidewash_page_hold_requested();
int tidewash_page_webgl_missing(char* reason, int size);
}

namespace {


// The show outlives main: the browser calls frame() after main has returned.
// The demo is built once the GL context exists, as its scenes upload
// textures when they are made; like the page, it is never torn down.
FrameClock* musicClock = nullptr;
BrowserFrameEnd* frameEnd = nullptr;
Demo* demo = nullptr;

// The native demo's failure for a window it cannot open, with the reason.
Failure windowFailure(const std::string& reason) { return Failure("Cannot open the OpenGL window: " + reason); }

// The canvas as an OpenGL window: opaque (no alpha channel, so the page's
// compositor never blends the picture with the page behind it), with a depth
// buffer, and OpenGL 1.1 over its WebGL context.
void openCanvas(int width, int height) {
    if (SDL_Init(SDL_INIT_VIDEO) < 0) throw windowFailure(SDL_GetError());
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, 0);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 16);
    if (SDL_SetVideoMode(width, height, 0, SDL_OPENGL) == nullptr) throw windowFailure(SDL_GetError());
    // emscripten's SDL opens the window even when the browser gives no WebGL
    // context; the first GL call would then throw in the page's script.
    char reason[256];
    if (tidewash_page_webgl_missing(reason, sizeof reason) != 0) throw windowFailure(reason);
    if (glGetString(GL_VERSION) == nullptr) throw windowFailure("no OpenGL context");
    const std::string failure = pageGl().open();
    if (!failure.empty()) throw windowFailure(failure);
}

void reportFailure(const Failure& failure) {
    std::cout << "ERROR: " << failure.what() << std::endl;
    tidewash_page_show_ends();
}

void showEnds() {
    std::cout << "FPS: " << demo->averageFps() << std::endl;
    tidewash_page_show_ends();
}

void frame() {
    try {
        const bool goesOn = demo->step();
        // The frame's last batch goes to WebGL before the page looks at the
        // picture and before the browser shows it.
        glFlush();
        if (!goesOn) {
            emscripten_cancel_main_loop();
            showEnds();
            return;
        }
    } catch (const Failure& failure) {
        emscripten_cancel_main_loop();
        reportFailure(failure);
        return;
    }
    // The page can hold the picture on this frame (to look at it closely);
    // the music plays on, and the next frame catches up with it. WebGL runs
    // behind the page, so the frame is finished before the page looks.
    if (tidewash_page_hold_requested() != 0) {
        glFinish();
        emscripten_pause_main_loop();
    }
}

// A number from main's arguments: a positive one, or the fallback.
int positiveArgument(int argc, char** argv, int index, int fallback) {
    if (index >= argc) return fallback;
    const int value = std::atoi(argv[index]);
    return value > 0 ? value : fallback;
}

// The music as the page plays it, or frame by frame at a fixed rate.
FrameClock* newClock(int framesPerSecond) {
    if (framesPerSecond > 0) return new SteppedClock(static_cast<std::uint32_t>(framesPerSecond));
    return new WebAudioClock;
}

}  // namespace

// Called by the page to go on after a hold.
extern "C" EMSCRIPTEN_KEEPALIVE void tidewash_resume() { emscripten_resume_main_loop(); }

int main(int argc, char** argv) {
    try {
        openCanvas(positiveArgument(argc, argv, 1, windowWidth), positiveArgument(argc, argv, 2, windowHeight));
        musicClock = newClock(positiveArgument(argc, argv, 3, 0));
        frameEnd = new BrowserFrameEnd(*musicClock);
        demo = new Demo;
        if (!demo->begin(*musicClock, *frameEnd)) {
            showEnds();
            return 0;
        }
        tidewash_page_show_begins();
        emscripten_set_main_loop(frame, 0, false);
    } catch (const Failure& failure) {
        reportFailure(failure);
        return 1;
    }
    return 0;
}
