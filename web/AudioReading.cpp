#include "web/AudioReading.h"

double AudioReading::heardSecondsAt(double atMs) const {
    const double renderedNow = contextSeconds;
    if (stampMs <= 0 || stampContextSeconds <= 0) return renderedNow + (atMs - nowMs) / 1000.0 - latencySeconds;
    const double stampedNow = stampContextSeconds + (nowMs - stampMs) / 1000.0;
    const bool stampIsHeard = renderedNow - stampedNow > latencySeconds / 2;
    return stampContextSeconds + (atMs - stampMs) / 1000.0 - (stampIsHeard ? 0.0 : latencySeconds);
}
