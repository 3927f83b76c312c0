#include "capture/ChildProcess.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <ctime>
#include <fstream>

#include "capture/Interruption.h"
#include "base/Failure.h"

extern char** environ;

namespace {

// The last line the program wrote on its standard error, as the reason it
// failed.
std::string lastLine(const std::string& path) {
    std::ifstream log(path);
    std::string line;
    std::string last;
    while (std::getline(log, line))
        if (!line.empty()) last = line;
    return last;
}

}  // namespace

ChildProcess::ChildProcess(const std::vector<std::string>& arguments, const std::string& errorLog, bool withInput)
    : program(arguments.front()), errorLog(errorLog) {
    int pipeEnds[2] = {-1, -1};
    if (withInput && pipe2(pipeEnds, O_CLOEXEC) != 0) throw Failure(std::string("cannot make a pipe: ") + std::strerror(errno));
    // A 1 MiB pipe (the most Linux gives an unprivileged process unless
    // told otherwise) holds most of a frame, where the usual 64 KiB made both
    // sides wait for and wake each other some twenty times a frame. Where the
    // system refuses, the usual size works as well, only slower.
    if (withInput) fcntl(pipeEnds[1], F_SETPIPE_SZ, 1 << 20);

    posix_spawn_file_actions_t files;
    posix_spawn_file_actions_init(&files);
    if (withInput) posix_spawn_file_actions_adddup2(&files, pipeEnds[0], STDIN_FILENO);
    else posix_spawn_file_actions_addopen(&files, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&files, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&files, STDERR_FILENO, errorLog.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setpgroup(&attributes, 0);
    sigset_t defaults;
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGPIPE);
    sigaddset(&defaults, SIGINT);
    sigaddset(&defaults, SIGTERM);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGDEF);

    std::vector<char*> argv;
    for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    const int spawned = posix_spawnp(&pid, program.c_str(), &files, &attributes, argv.data(), environ);
    posix_spawn_file_actions_destroy(&files);
    posix_spawnattr_destroy(&attributes);
    if (withInput) ::close(pipeEnds[0]);
    if (spawned != 0) {
        if (withInput) ::close(pipeEnds[1]);
        pid = -1;
        throw Failure("cannot run " + program + ": " + std::strerror(spawned));
    }
    input = pipeEnds[1];
}

ChildProcess::~ChildProcess() {
    if (input >= 0) ::close(input);
    if (pid <= 0) return;
    // Still running: the capture was abandoned.
    ::kill(pid, SIGKILL);
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
}

void ChildProcess::send(const void* data, std::size_t bytes) {
    const char* next = static_cast<const char*>(data);
    while (bytes > 0) {
        const ssize_t sent = ::write(input, next, bytes);
        if (sent < 0 && errno == EINTR) continue;
        if (sent <= 0) fail(program + " stopped reading its input");
        next += sent;
        bytes -= std::size_t(sent);
    }
}

void ChildProcess::finish() {
    if (input >= 0) ::close(input);
    input = -1;
    int status = 0;
    // Looks in short steps, so that a signal asking the capture to stop ends
    // the wait at once, however long the program would still run.
    pid_t ended;
    while ((ended = waitpid(pid, &status, WNOHANG)) == 0 || (ended < 0 && errno == EINTR)) {
        if (interruption::signalNumber() != 0) return;
        const timespec step{0, 10 * 1000 * 1000};
        nanosleep(&step, nullptr);
    }
    pid = -1;
    if (ended < 0) throw Failure(program + " was lost: " + std::strerror(errno));
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0) return;
    fail(program + (WIFEXITED(status) ? " failed with status " + std::to_string(WEXITSTATUS(status))
                                      : " was killed by signal " + std::to_string(WTERMSIG(status))));
}

void ChildProcess::fail(const std::string& what) {
    const std::string reason = lastLine(errorLog);
    throw Failure(reason.empty() ? what : what + ": " + reason);
}
