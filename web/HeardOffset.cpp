#include "web/HeardOffset.h"

#include <algorithm>
#include <cmath>

double HeardOffset::add(double offsetMs, double atMs) {
    if (count > 0 && std::fabs(offsetMs - middle) > jumpMs) count = 0;
    newest = (newest + 1) % capacity;
    readings[newest] = {atMs, offsetMs};
    count = std::min(count + 1, capacity);
    middle = windowMiddle(atMs);
    return middle;
}

// The mean of the middle half of the window's offsets: as deaf to a stray
// reading as the median, and unlike the median it moves smoothly as readings
// come and go.
double HeardOffset::windowMiddle(double nowMs) const {
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
    return sum / double(to - from);
}
