#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

// A program run beside the benchmark with its standard output on a pipe the
// benchmark reads (or left alone), ended and waited for on request.
class WatchedProgram {
public:
    // Starts argv[0] (looked up on PATH). Throws std::runtime_error when it
    // cannot start.
    WatchedProgram(const std::vector<std::string>& argv, bool pipeOutput);
    ~WatchedProgram();
    WatchedProgram(const WatchedProgram&) = delete;
    WatchedProgram& operator=(const WatchedProgram&) = delete;

    // The read end of its standard output; -1 when it is not piped.
    int output() const { return outputFd; }

    // Waits for it to end by itself; its exit status, or 128 + signal.
    int wait();

    // Sends SIGTERM and waits.
    int stop();

    bool running();

private:
    pid_t pid = -1;
    int outputFd = -1;
    int status = -1;
};
