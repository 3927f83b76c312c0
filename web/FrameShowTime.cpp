#include "web/FrameShowTime.h"

#include <algorithm>

double FrameShowTime::shownAtMs(double frameMs) {
    if (lastFrameMs >= 0 && frameMs > lastFrameMs) {
        intervals[seen % kept] = frameMs - lastFrameMs;
        ++seen;
    }
    if (frameMs > lastFrameMs) lastFrameMs = frameMs;
    return frameMs + medianInterval();
}

double FrameShowTime::medianInterval() const {
    const std::size_t count = std::min(seen, kept);
    if (count == 0) return refreshMs;
    std::array<double, kept> sorted = intervals;
    std::nth_element(sorted.begin(), sorted.begin() + count / 2, sorted.begin() + count);
    return sorted[count / 2];
}
