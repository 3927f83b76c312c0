#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

// A program run beside the capture, such as ffmpeg. It runs in a process
// group of its own, so a Ctrl-C at the terminal reaches the capture alone,
// which then ends it. Its standard error goes to a file, for the message when
// it fails.
class ChildProcess {
public:
    // Starts `arguments` (the first is the program, found on the PATH), with
    // a pipe to its standard input when `withInput`. Throws Failure when it
    // cannot be started.
    ChildProcess(const std::vector<std::string>& arguments, const std::string& errorLog, bool withInput);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // Writes to its standard input. Throws Failure when it has stopped reading.
    void send(const void* data, std::size_t bytes);

    // Closes its input and waits for it to end. Throws Failure unless it
    // ends with status 0. Returns at once when a signal asks the capture to
    // stop; the program is then ended with this object.
    void finish();

private:
    [[noreturn]] void fail(const std::string& what);

    std::string program;
    std::string errorLog;
    pid_t pid = -1;
    int input = -1;
};
