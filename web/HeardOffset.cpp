#include "web/HeardOffset.h"

#include <algorithm>
#include <cmath>

void HeardOffset::add(double offsetMs, double atMs) {
    if (count > 0 && std::fabs(offsetMs - middleMs) > jumpMs) count = 0;
    newest = (newest + 1) % capacity;
    readings[newest] = {atMs, offsetMs};
    count = std::min(count + 1, capacity);
    middleMs = windowMiddle();
}

double HeardOffset::mostAdvanced() const {
    std::array<double, capacity> offsets{};
    const std::size_t inWindow = windowOffsets(offsets);
    if (inWindow == 0) return middleMs;
    return *std::max_element(offsets.begin(), offsets.begin() + inWindow);
}

std::size_t HeardOffset::windowOffsets(std::array<double, capacity>& offsets) const {
    const double nowMs = readings[newest].atMs;
    std::size_t inWindow = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const Reading& reading = readings[(newest + capacity - i) % capacity];
        if (nowMs - reading.atMs > windowMs) break;
        offsets[inWindow++] = reading.offsetMs;
    }
    return inWindow;
}

double HeardOffset::windowMiddle() const {
    std::array<double, capacity> offsets{};
    const std::size_t inWindow = windowOffsets(offsets);
    std::sort(offsets.begin(), offsets.begin() + inWindow);
    const std::size_t from = inWindow / 4;
    const std::size_t to = inWindow - inWindow / 4;
    double sum = 0;
    for (std::size_t i = from; i < to; ++i) sum += offsets[i];
    return sum / double(to - from);
}
