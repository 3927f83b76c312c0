#include "audio/HeardEstimate.h"

#include <algorithm>

std::int64_t HeardEstimate::report(std::int64_t frame, std::int64_t atUs) {
    if (count > 0 && frame > lastFrame) countMoved = true;
    lastFrame = frame;
    const std::int64_t offsetUs = frame * 1000000 / sampleRate - atUs;
    newest = (newest + 1) % capacity;
    offsets[std::size_t(newest)] = {atUs, offsetUs};
    count = std::min(count + 1, capacity);
    std::int64_t largestUs = offsetUs;
    for (int i = 0; i < count; ++i) {
        const Offset& kept = offsets[std::size_t((newest - i + capacity) % capacity)];
        if (atUs - kept.atUs > windowUs) break;
        largestUs = std::max(largestUs, kept.offsetUs);
    }
    return (atUs + largestUs) * sampleRate / 1000000;
}
