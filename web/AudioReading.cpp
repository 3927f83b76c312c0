#include "web/AudioReading.h"

#include <algorithm>

double AudioReading::heardSecondsAt(double atMs) const {
    const double renderedNow = contextSeconds;
    if (stampMs <= 0 || stampContextSeconds <= 0) return renderedNow + (atMs - nowMs) / 1000.0 - latencySeconds;
    const double stampedNow = stampContextSeconds + (nowMs - stampMs) / 1000.0;
    const double latencyInStamp = std::max(0.0, renderedNow - stampedNow);
    const double latencyLeft = std::max(0.0, latencySeconds - latencyInStamp);
    return stampContextSeconds + (atMs - stampMs) / 1000.0 - latencyLeft;
}
