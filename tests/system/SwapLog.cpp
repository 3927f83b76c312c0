// Preloaded into the real demo (LD_PRELOAD) to log, from outside it, when each
// frame is shown: SDL_GL_SwapBuffers is wrapped to swap through SDL's own
// function and then write the steady time in microseconds, one line a frame,
// to the file TIDEWASH_SWAP_LOG names.
#include <dlfcn.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace {

int logFile() {
    static const int fd = [] {
        const char* path = std::getenv("TIDEWASH_SWAP_LOG");
        return path == nullptr ? -1 : open(path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    }();
    return fd;
}

}  // namespace

extern "C" void SDL_GL_SwapBuffers() {
    static const auto swapBuffers = reinterpret_cast<void (*)()>(dlsym(RTLD_NEXT, "SDL_GL_SwapBuffers"));
    if (swapBuffers != nullptr) swapBuffers();
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    char line[32];
    const int length =
        std::snprintf(line, sizeof line, "%lld\n", static_cast<long long>(now.tv_sec) * 1000000 + now.tv_nsec / 1000);
    if (logFile() >= 0 && write(logFile(), line, size_t(length)) < 0) std::abort();
}
