// Runs a program and reports what it cost:
//   run_measured PROGRAM ARGS...
// After the program ends, writes "run_measured wall_ms W peak_rss_kb R
// status S" to stderr: the steady time from start to end, the peak resident
// memory (the kernel's ru_maxrss) and the exit status (128 + signal when a
// signal ended it). Its own exit status is the program's.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: run_measured PROGRAM ARGS...\n");
        return 2;
    }
    const auto start = std::chrono::steady_clock::now();
    const pid_t child = fork();
    if (child == 0) {
        execvp(argv[1], argv + 1);
        std::perror(argv[1]);
        _exit(127);
    }
    if (child < 0) return 1;
    int raw = 0;
    rusage usage{};
    if (wait4(child, &raw, 0, &usage) < 0) return 1;
    const double wallMs = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    const int status = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
    std::fprintf(stderr, "run_measured wall_ms %.1f peak_rss_kb %ld status %d\n", wallMs, usage.ru_maxrss, status);
    return status;
}
