// Starts a program with the start-up probe preloaded, telling the probe the
// steady-clock time of the exec:
//   startup_launch PROBE.so PROGRAM
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: startup_launch PROBE.so PROGRAM\n");
        return 2;
    }
    setenv("LD_PRELOAD", argv[1], 1);
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    const std::string t0 = std::to_string(std::int64_t(now.tv_sec) * 1000000000 + now.tv_nsec);
    setenv("TIDEWASH_STARTUP_T0_NS", t0.c_str(), 1);
    execl(argv[2], argv[2], static_cast<char*>(nullptr));
    std::perror("exec");
    return 1;
}
