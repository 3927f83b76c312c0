#include "bench/StampFit.h"

#include <algorithm>
#include <cmath>

bool StampFit::fit(const std::vector<ServerRecorder::Stamp>& stamps) {
    if (stamps.size() < 2) return false;
    double meanX = 0, meanY = 0;
    for (const ServerRecorder::Stamp& stamp : stamps) {
        meanX += double(stamp.sample);
        meanY += stamp.heardUs;
    }
    meanX /= double(stamps.size());
    meanY /= double(stamps.size());
    double sxy = 0, sxx = 0;
    for (const ServerRecorder::Stamp& stamp : stamps) {
        sxy += (double(stamp.sample) - meanX) * (stamp.heardUs - meanY);
        sxx += (double(stamp.sample) - meanX) * (double(stamp.sample) - meanX);
    }
    if (stamps.back().heardUs - stamps.front().heardUs < 1e6 || sxx <= 0) return false;
    usPerSample = sxy / sxx;
    interceptUs = meanY - usPerSample * meanX;
    residualUs = 0;
    for (const ServerRecorder::Stamp& stamp : stamps)
        residualUs = std::max(residualUs, std::fabs(stamp.heardUs - heardUs(double(stamp.sample))));
    return true;
}
