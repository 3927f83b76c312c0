#include "bench/ServerRecorder.h"

void ServerRecorder::take(std::vector<float>& mono, std::vector<Stamp>& stamps) {
    const std::lock_guard<std::mutex> hold(lock);
    mono.insert(mono.end(), pendingMono.begin(), pendingMono.end());
    stamps.insert(stamps.end(), pendingStamps.begin(), pendingStamps.end());
    pendingMono.clear();
    pendingStamps.clear();
}
