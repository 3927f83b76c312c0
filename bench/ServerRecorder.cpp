#include "bench/ServerRecorder.h"

#include <stdexcept>

#include "bench/PipeWireRecorder.h"
#include "bench/PulseRecorder.h"

std::unique_ptr<ServerRecorder> ServerRecorder::forServer(const std::string& server, bool alone) {
    if (server == "pipewire") return std::make_unique<PipeWireRecorder>();
    if (server == "pulseaudio") return std::make_unique<PulseRecorder>(alone ? 2000 : 20000);
    throw std::runtime_error("no recorder for the server " + server);
}

void ServerRecorder::take(std::vector<float>& mono, std::vector<Stamp>& stamps) {
    const std::lock_guard<std::mutex> hold(lock);
    mono.insert(mono.end(), pendingMono.begin(), pendingMono.end());
    stamps.insert(stamps.end(), pendingStamps.begin(), pendingStamps.end());
    pendingMono.clear();
    pendingStamps.clear();
}
