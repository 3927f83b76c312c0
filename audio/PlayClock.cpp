#include "audio/PlayClock.h"

#include <algorithm>

void PlayClock::reset(std::uint32_t positionMs) {
    running = false;
    anchorMediaUs = std::int64_t(positionMs) * 1000;
    resetPositionMs = positionMs;
    lastPositionMs = positionMs;
}

void PlayClock::setOutputDelay(std::uint32_t frames) {
    outputDelayUs = std::int64_t(frames) * 1000000 / sampleRate;
}

void PlayClock::start(std::int64_t nowUs) {
    running = true;
    deviceReported = false;
    anchorWallUs = nowUs;
}

void PlayClock::anchor(std::uint64_t framesTaken, std::int64_t nowUs) {
    if (!followsDevice) return;
    deviceReported = true;
    anchorMediaUs = std::int64_t(framesTaken * 1000000 / std::uint64_t(sampleRate));
    anchorWallUs = nowUs;
}

std::uint32_t PlayClock::positionMs(std::int64_t nowUs) {
    if (!running || (followsDevice && !deviceReported)) return lastPositionMs;
    const std::int64_t sinceAnchorUs = std::max<std::int64_t>(0, nowUs - anchorWallUs);
    // Nothing before the reset position comes out: the delay holds the
    // position there rather than taking it below.
    const std::int64_t heardUs = std::max<std::int64_t>(std::int64_t(resetPositionMs) * 1000,
                                                        anchorMediaUs + sinceAnchorUs - outputDelayUs);
    const auto position = static_cast<std::uint32_t>(heardUs / 1000);
    lastPositionMs = std::max(lastPositionMs, position);
    return lastPositionMs;
}
