#include "audio/PlayClock.h"

#include <algorithm>

namespace {
constexpr int readAttempts = 64;
}  // namespace

void PlayClock::reset(std::uint32_t positionMs) {
    running = false;
    resetPositionMs = positionMs;
    lastPositionMs = positionMs;
    anchorSequence.store(0);
    seenAnchor = false;
}

void PlayClock::start(std::int64_t nowUs) {
    running = true;
    startUs = nowUs;
    anchorSequence.store(0);
    seenAnchor = false;
}

// The sequence counter and the report are all sequentially consistent
// atomics: a reader that sees any part of a report being written also sees the
// counter made odd before it, so it cannot take half of one report for whole.
void PlayClock::anchor(std::int64_t heardFrame, std::int64_t atUs) {
    const std::uint32_t sequence = anchorSequence.load();
    anchorSequence.store(sequence + 1);
    anchorMediaUs.store(heardFrame * 1000000 / sampleRate);
    anchorWallUs.store(atUs);
    anchorSequence.store(sequence + 2);
}

bool PlayClock::readAnchor(std::int64_t& mediaUs, std::int64_t& wallUs) {
    // A report being written is read again a few times, never waited for.
    for (int attempt = 0; attempt < readAttempts; ++attempt) {
        const std::uint32_t before = anchorSequence.load();
        if (before == 0) break;
        if (before % 2 != 0) continue;
        const std::int64_t media = anchorMediaUs.load();
        const std::int64_t wall = anchorWallUs.load();
        if (anchorSequence.load() != before) continue;
        seenAnchor = true;
        seenMediaUs = media;
        seenWallUs = wall;
        break;
    }
    mediaUs = seenMediaUs;
    wallUs = seenWallUs;
    return seenAnchor;
}

std::int64_t PlayClock::unheardPositionUs(std::int64_t nowUs) const {
    const std::int64_t resetUs = std::int64_t(resetPositionMs) * 1000;
    const std::int64_t sinceStartUs = std::max<std::int64_t>(0, nowUs - startUs);
    if (!deviceFollowed) return resetUs + sinceStartUs;
    return resetUs + std::max<std::int64_t>(0, sinceStartUs - deviceStartLimitUs);
}

std::uint32_t PlayClock::positionMs(std::int64_t nowUs) {
    if (!running) return lastPositionMs;
    std::int64_t mediaUs = 0;
    std::int64_t wallUs = 0;
    const std::int64_t heardUs = deviceFollowed && readAnchor(mediaUs, wallUs) ? mediaUs + (nowUs - wallUs)
                                                                              : unheardPositionUs(nowUs);
    // Nothing before the reset position comes out: a report of sound still to
    // come holds the position there rather than taking it below.
    const auto position = static_cast<std::uint32_t>(std::max<std::int64_t>(heardUs / 1000, resetPositionMs));
    lastPositionMs = std::max(lastPositionMs, position);
    return lastPositionMs;
}
