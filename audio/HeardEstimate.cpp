#include "audio/HeardEstimate.h"

#include <algorithm>

std::int64_t HeardEstimate::report(std::int64_t frame, std::int64_t atUs) {
    const std::int64_t moveFrames = count > 0 && frame > lastFrame ? frame - lastFrame : 0;
    if (moveFrames > 0) countMoved = true;
    lastFrame = frame;
    const std::int64_t offsetUs = frame * 1000000 / sampleRate - atUs;
    newest = (newest + 1) % capacity;
    offsets[std::size_t(newest)] = {atUs, offsetUs, moveFrames};
    count = std::min(count + 1, capacity);
    std::int64_t largestUs = offsetUs;
    std::int64_t smallestMove = 0;
    for (int i = 0; i < count; ++i) {
        const Offset& kept = offsets[std::size_t((newest - i + capacity) % capacity)];
        if (atUs - kept.atUs > windowUs) break;
        largestUs = std::max(largestUs, kept.offsetUs);
        if (kept.moveFrames > 0 && (smallestMove == 0 || kept.moveFrames < smallestMove)) smallestMove = kept.moveFrames;
    }
    cycle = countsCycleAhead ? smallestMove : 0;
    return (atUs + largestUs) * sampleRate / 1000000 - cycle;
}
