#include "bench/MpvPlayer.h"


#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>

#include "audio/SteadyTime.h"

MpvPlayer::MpvPlayer(const std::string& output, const std::string& file, const std::string& path)
    : socketPath(path),
      program({"mpv", "--no-config", "--no-video", "--no-terminal", "--ao=" + output, "--input-ipc-server=" + path, file},
              false) {}

MpvPlayer::~MpvPlayer() {
    if (socketFd >= 0) close(socketFd);
}

bool MpvPlayer::connect() {
    if (socketFd >= 0) return true;
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, socketPath.c_str(), sizeof address.sun_path - 1);
    if (fd >= 0 && ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0) {
        socketFd = fd;
        return true;
    }
    if (fd >= 0) close(fd);
    return false;
}

// The line answering request `requestId` (events mpv sends meanwhile are
// passed over); empty when none comes within a second.
std::string MpvPlayer::answer(int requestId) {
    const std::string tag = "\"request_id\":" + std::to_string(requestId);
    const std::int64_t deadline = steadyTimeUs() + 1000000;
    for (;;) {
        std::size_t end;
        while ((end = received.find('\n')) != std::string::npos) {
            const std::string line = received.substr(0, end);
            received.erase(0, end + 1);
            if (line.find(tag) != std::string::npos) return line;
        }
        pollfd ready{socketFd, POLLIN, 0};
        if (steadyTimeUs() > deadline || poll(&ready, 1, 100) < 0) return {};
        if (ready.revents == 0) continue;
        char buffer[4096];
        const ssize_t got = ::read(socketFd, buffer, sizeof buffer);
        if (got <= 0) return {};
        received.append(buffer, std::size_t(got));
    }
}

MpvPlayer::Reading MpvPlayer::ask() {
    Reading reading;
    if (!connect()) return reading;
    const int id = ++requests;
    const std::string request = "{\"command\":[\"get_property\",\"audio-pts\"],\"request_id\":" + std::to_string(id) + "}\n";
    const std::int64_t askedUs = steadyTimeUs();
    if (::write(socketFd, request.data(), request.size()) != ssize_t(request.size())) return reading;
    const std::string line = answer(id);
    const std::int64_t answeredUs = steadyTimeUs();
    const std::size_t data = line.find("\"data\":");
    if (data == std::string::npos || line.find("\"error\":\"success\"") == std::string::npos) return reading;
    char* end = nullptr;
    const char* const number = line.c_str() + data + 7;
    const double seconds = std::strtod(number, &end);
    if (end == number) return reading;
    reading.valid = true;
    reading.positionMs = seconds * 1000.0;
    reading.atUs = askedUs + (answeredUs - askedUs) / 2;
    return reading;
}

int MpvPlayer::stop() { return program.stop(); }
