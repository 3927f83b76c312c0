#pragma once

#include <cstdint>
#include <string>

#include "bench/WatchedProgram.h"

// mpv playing a file through one of its audio outputs, asked over its IPC
// socket for the position it says is being heard (`audio-pts`): the
// reference player the demo's A/V offset is set beside.
class MpvPlayer {
public:
    // Starts `mpv --ao=OUTPUT FILE` with its socket at socketPath. Throws
    // std::runtime_error when it cannot start.
    MpvPlayer(const std::string& output, const std::string& file, const std::string& socketPath);
    ~MpvPlayer();
    MpvPlayer(const MpvPlayer&) = delete;
    MpvPlayer& operator=(const MpvPlayer&) = delete;

    struct Reading {
        bool valid = false;
        double positionMs = 0;   // what mpv says is heard ...
        std::int64_t atUs = 0;   // ... halfway between asking and the answer
    };

    // Asks for audio-pts; not valid until mpv answers with a number (it has
    // no audio position before it plays).
    Reading ask();

    // Ends mpv; its exit status.
    int stop();

private:
    bool connect();
    std::string answer(int requestId);

    std::string socketPath;
    WatchedProgram program;
    int socketFd = -1;
    int requests = 0;
    std::string received;
};
