#include "audio/PlayClock.h"

#include <algorithm>

void PlayClock::reset(std::uint32_t positionMs) {
    running = false;
    anchorMediaUs = std::int64_t(positionMs) * 1000;
    lastPositionMs = positionMs;
}

void PlayClock::start(std::int64_t nowUs) {
    running = true;
    anchorWallUs = nowUs;
}

void PlayClock::anchor(std::uint64_t framesTaken, std::int64_t nowUs) {
    anchorMediaUs = std::int64_t(framesTaken * 1000000 / std::uint64_t(sampleRate));
    anchorWallUs = nowUs;
}

std::uint32_t PlayClock::positionMs(std::int64_t nowUs) {
    if (!running) return lastPositionMs;
    const std::int64_t sinceAnchorUs = std::max<std::int64_t>(0, nowUs - anchorWallUs);
    const auto position = static_cast<std::uint32_t>((anchorMediaUs + sinceAnchorUs) / 1000);
    lastPositionMs = std::max(lastPositionMs, position);
    return lastPositionMs;
}
