#include "web/HeardOffset.h"

#include <algorithm>
#include <cmath>

void HeardOffset::add(double offsetMs, double atMs) {
    if (count > 0 && std::fabs(offsetMs - middleMs) > jumpMs) count = 0;
    newest = (newest + 1) % capacity;
    readings[newest] = {atMs, offsetMs};
    count = std::min(count + 1, capacity);
    steady();
}

void HeardOffset::steady() {
    const double nowMs = readings[newest].atMs;
    std::array<double, capacity> offsets{};
    std::size_t inWindow = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const Reading& reading = readings[(newest + capacity - i) % capacity];
        if (nowMs - reading.atMs > windowMs) break;
        offsets[inWindow++] = reading.offsetMs;
    }
    std::sort(offsets.begin(), offsets.begin() + inWindow);
    const std::size_t from = inWindow / 4;
    const std::size_t to = inWindow - inWindow / 4;
    double sum = 0;
    for (std::size_t i = from; i < to; ++i) sum += offsets[i];
    middleMs = sum / double(to - from);
    mostAdvancedMs = offsets[inWindow - 1];
}
