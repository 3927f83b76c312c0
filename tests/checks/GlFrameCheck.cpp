// Preloaded into the real demo (LD_PRELOAD) to check that every frame leaves
// OpenGL without an error. The demo swaps buffers once per frame, after the
// frame is drawn, so SDL_GL_SwapBuffers is wrapped: it reads glGetError()
// and, on an error, names it with the frame number and aborts; otherwise it
// swaps through SDL's own function. SDL_Quit is wrapped the same way, to catch
// errors made after the last frame, while the demo releases its textures.
// At exit the number of frames checked is written, so a run can tell that the
// check was in place; processes that never swapped (the sanitizer's
// symbolizer, which inherits the preload) say nothing.
#include <GL/gl.h>
#include <dlfcn.h>

#include <cstdio>
#include <cstdlib>

namespace {

unsigned long framesChecked = 0;

template <typename Function>
Function sdlFunction(const char* name) {
    void* const function = dlsym(RTLD_NEXT, name);
    if (function == nullptr) {
        std::fprintf(stderr, "GL check: %s not found\n", name);
        std::abort();
    }
    return reinterpret_cast<Function>(function);
}

void requireNoError(const char* when) {
    const GLenum error = glGetError();
    if (error == GL_NO_ERROR) return;
    std::fprintf(stderr, "GL check: OpenGL error 0x%04x %s %lu\n", error, when, framesChecked);
    std::abort();
}

__attribute__((destructor)) void reportFrames() {
    if (framesChecked == 0) return;
    std::fprintf(stderr, "GL check: %lu frames without an OpenGL error\n", framesChecked);
}

}  // namespace

extern "C" void SDL_GL_SwapBuffers() {
    static const auto swapBuffers = sdlFunction<void (*)()>("SDL_GL_SwapBuffers");
    ++framesChecked;
    requireNoError("after frame");
    swapBuffers();
}

extern "C" void SDL_Quit() {
    static const auto quit = sdlFunction<void (*)()>("SDL_Quit");
    requireNoError("at shut-down, after frame");
    quit();
}
