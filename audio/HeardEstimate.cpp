#include "audio/HeardEstimate.h"

#include <algorithm>
#include <limits>

std::int64_t HeardEstimate::report(std::int64_t frame, std::int64_t atUs) {
    const std::int64_t moveFrames = count > 0 && frame > lastFrame ? frame - lastFrame : 0;
    if (moveFrames > 0) countMoved = true;
    if (count == 0) sinceUs = std::numeric_limits<std::int64_t>::min();
    lastFrame = frame;
    const std::int64_t offsetUs = frame * 1000000 / sampleRate - atUs;
    newest = (newest + 1) % capacity;
    offsets[std::size_t(newest)] = {atUs, offsetUs, moveFrames};
    count = std::min(count + 1, capacity);
    const auto kept = [this](int back) -> const Offset& {
        return offsets[std::size_t((newest - back + capacity) % capacity)];
    };
    const auto counts = [&](const Offset& report) { return atUs - report.atUs <= windowUs && report.atUs >= sinceUs; };
    std::int64_t largestUs = offsetUs;
    std::int64_t smallestMove = 0;
    for (int i = 0; i < count && counts(kept(i)); ++i) {
        largestUs = std::max(largestUs, kept(i).offsetUs);
        if (kept(i).moveFrames > 0 && (smallestMove == 0 || kept(i).moveFrames < smallestMove))
            smallestMove = kept(i).moveFrames;
    }
    fallBehind(largestUs, smallestMove, atUs);
    cycle = countsCycleAhead ? smallestMove : 0;
    return (atUs + largestUs) * sampleRate / 1000000 - cycle;
}

// Whether the sound fell behind the envelope: every report since the newest
// that lies near it (within a cycle, or fallThresholdUs when the count moves
// smoothly) spans more than recentUs, numbers recentReports or more, and
// has seen the count move on. If so, the reports up to that one no longer
// count, and the envelope is that of those after it. A count standing still
// all along is the graph held up, not the stream missing its turn: a null
// sink's graph catches up when it runs again, and the reports come back up.
void HeardEstimate::fallBehind(std::int64_t& largestUs, std::int64_t cycleFrames, std::int64_t atUs) {
    const std::int64_t fallUs =
        cycleFrames > 0 ? std::max(fallThresholdUs / 8, cycleFrames * 1000000 / sampleRate - fallThresholdUs / 8) : fallThresholdUs;
    std::int64_t afterUs = std::numeric_limits<std::int64_t>::min();
    int after = 0;
    bool moved = false;
    for (int i = 0; i < count; ++i) {
        const Offset& report = offsets[std::size_t((newest - i + capacity) % capacity)];
        if (atUs - report.atUs > windowUs || report.atUs < sinceUs) return;
        if (report.offsetUs > largestUs - fallUs) {
            if (atUs - report.atUs <= recentUs || after < recentReports || !moved) return;
            sinceUs = report.atUs + 1;
            largestUs = afterUs;
            return;
        }
        afterUs = std::max(afterUs, report.offsetUs);
        ++after;
        moved = moved || report.moveFrames > 0;
    }
}
