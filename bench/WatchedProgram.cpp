#include "bench/WatchedProgram.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <stdexcept>

extern char** environ;

WatchedProgram::WatchedProgram(const std::vector<std::string>& argv, bool pipeOutput) {
    std::vector<char*> args;
    for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);
    int fds[2] = {-1, -1};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (pipeOutput) {
        if (pipe2(fds, O_CLOEXEC) != 0) throw std::runtime_error("pipe failed");
        posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
    }
    const int result = posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (pipeOutput) {
        close(fds[1]);
        outputFd = fds[0];
    }
    if (result != 0) {
        if (outputFd >= 0) close(outputFd);
        throw std::runtime_error("cannot start " + argv[0]);
    }
}

WatchedProgram::~WatchedProgram() {
    if (pid > 0 && status < 0) stop();
    if (outputFd >= 0) close(outputFd);
}

int WatchedProgram::wait() {
    if (status >= 0) return status;
    int raw = 0;
    while (waitpid(pid, &raw, 0) < 0) {
        if (errno != EINTR) return status = 255;
    }
    status = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
    return status;
}

int WatchedProgram::stop() {
    if (status < 0) kill(pid, SIGTERM);
    return wait();
}

bool WatchedProgram::running() {
    if (status >= 0) return false;
    int raw = 0;
    if (waitpid(pid, &raw, WNOHANG) == 0) return true;
    status = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
    return false;
}
