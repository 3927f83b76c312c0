// Where the demo's start-up time goes, measured from outside the demo: this
// library is preloaded into the real `tidewash` (LD_PRELOAD, by
// startup_launch) and wraps the SDL, OpenGL and libmpg123 entry points that
// mark each step of the start. At the first buffer swap, the first frame
// shown, it writes one line to stderr and ends the process:
//   startup_ms total T process P audio A video V window W textures X (N uploads)
//   construct C soundtrack S first_frame F other O
// (process: loading the program and its libraries; audio: opening the sound
// device; video and window: SDL's video and the OpenGL window and context;
// construct: building the demo apart from the texture uploads; soundtrack:
// opening Quietfall.MP3 and starting it; first_frame: drawing and swapping
// the first frame; other: what lies between those), every time measured
// from the moment startup_launch exec'd the demo
// (its steady clock time in TIDEWASH_STARTUP_T0_NS).
#include <GL/gl.h>
#include <SDL.h>
#include <dlfcn.h>
#include <mpg123.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace {

double nowMs() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

// The times of the start's steps, in ms since the exec.
struct Timeline {
    double execMs = 0;
    double loadedMs = 0;            // the preloaded library's constructor ran
    double audioStartMs = -1;       // SDL's audio subsystem asked for
    double audioEndMs = -1;         // playback unpaused: the device is open
    double videoStartMs = -1, videoEndMs = -1;
    double windowStartMs = -1, windowEndMs = -1;
    double textureMs = 0;           // inside glTexImage2D
    int textureUploads = 0;
    double soundtrackStartMs = -1;  // the first decoder made: the soundtrack opens
    double firstClearMs = -1;       // the first frame begins
};

Timeline& timeline() {
    static Timeline times;
    return times;
}

double sinceExec() { return nowMs() - timeline().execMs; }

template <typename Function>
Function next(const char* name) {
    return reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}

__attribute__((constructor)) void loaded() {
    const char* t0 = std::getenv("TIDEWASH_STARTUP_T0_NS");
    timeline().execMs = t0 ? std::strtod(t0, nullptr) / 1e6 : nowMs();
    timeline().loadedMs = sinceExec();
}

void report() {
    const Timeline& t = timeline();
    const double total = sinceExec();
    const double audio = t.audioEndMs - t.audioStartMs;
    const double video = t.videoEndMs - t.videoStartMs;
    const double window = t.windowEndMs - t.windowStartMs;
    const double construct = t.soundtrackStartMs - t.windowEndMs - t.textureMs;
    const double soundtrack = t.firstClearMs - t.soundtrackStartMs;
    const double firstFrame = total - t.firstClearMs;
    const double other = total - t.loadedMs - audio - video - window - t.textureMs - construct - soundtrack - firstFrame;
    std::fprintf(stderr,
                 "startup_ms total %.2f process %.2f audio %.2f video %.2f window %.2f textures %.2f (%d uploads) "
                 "construct %.2f soundtrack %.2f first_frame %.2f other %.2f\n",
                 total, t.loadedMs, audio, video, window, t.textureMs, t.textureUploads, construct, soundtrack,
                 firstFrame, other);
}

}  // namespace

extern "C" {

int SDL_InitSubSystem(Uint32 flags) {
    static const auto real = next<int (*)(Uint32)>("SDL_InitSubSystem");
    if ((flags & SDL_INIT_AUDIO) && timeline().audioStartMs < 0) timeline().audioStartMs = sinceExec();
    return real(flags);
}

void SDL_PauseAudio(int pause) {
    static const auto real = next<void (*)(int)>("SDL_PauseAudio");
    real(pause);
    if (pause == 0 && timeline().audioEndMs < 0) timeline().audioEndMs = sinceExec();
}

int SDL_Init(Uint32 flags) {
    static const auto real = next<int (*)(Uint32)>("SDL_Init");
    timeline().videoStartMs = sinceExec();
    const int result = real(flags);
    timeline().videoEndMs = sinceExec();
    return result;
}

SDL_Surface* SDL_SetVideoMode(int width, int height, int bits, Uint32 flags) {
    static const auto real = next<SDL_Surface* (*)(int, int, int, Uint32)>("SDL_SetVideoMode");
    timeline().windowStartMs = sinceExec();
    SDL_Surface* surface = real(width, height, bits, flags);
    timeline().windowEndMs = sinceExec();
    return surface;
}

void glTexImage2D(GLenum target, GLint level, GLint internalFormat, GLsizei width, GLsizei height, GLint border,
                  GLenum format, GLenum type, const GLvoid* pixels) {
    static const auto real =
        next<void (*)(GLenum, GLint, GLint, GLsizei, GLsizei, GLint, GLenum, GLenum, const GLvoid*)>("glTexImage2D");
    const double start = nowMs();
    real(target, level, internalFormat, width, height, border, format, type, pixels);
    timeline().textureMs += nowMs() - start;
    ++timeline().textureUploads;
}

mpg123_handle* mpg123_new(const char* decoder, int* error) {
    static const auto real = next<mpg123_handle* (*)(const char*, int*)>("mpg123_new");
    if (timeline().soundtrackStartMs < 0) timeline().soundtrackStartMs = sinceExec();
    return real(decoder, error);
}

void glClear(GLbitfield mask) {
    static const auto real = next<void (*)(GLbitfield)>("glClear");
    if (timeline().firstClearMs < 0) timeline().firstClearMs = sinceExec();
    real(mask);
}

void SDL_GL_SwapBuffers() {
    static const auto real = next<void (*)()>("SDL_GL_SwapBuffers");
    real();
    glFinish();
    report();
    _exit(0);
}

}  // extern "C"
