#include "bench/StampFit.h"

#include <algorithm>
#include <cmath>

bool StampFit::fit(const std::vector<ServerRecorder::Stamp>& stamps) {
    kept = stamps;
    std::sort(kept.begin(), kept.end(), [](const auto& a, const auto& b) { return a.sample < b.sample; });
    if (kept.size() < 2 || kept.back().sample - kept.front().sample < sampleRate) return false;
    double meanX = 0, meanY = 0;
    for (const ServerRecorder::Stamp& stamp : kept) {
        meanX += double(stamp.sample);
        meanY += stamp.heardUs;
    }
    meanX /= double(kept.size());
    meanY /= double(kept.size());
    double sxy = 0, sxx = 0;
    for (const ServerRecorder::Stamp& stamp : kept) {
        sxy += (double(stamp.sample) - meanX) * (stamp.heardUs - meanY);
        sxx += (double(stamp.sample) - meanX) * (double(stamp.sample) - meanX);
    }
    usPerSample = sxy / sxx;
    std::vector<double> distances;
    for (std::size_t i = 0; i < kept.size(); i += std::max<std::size_t>(1, kept.size() / 2000))
        distances.push_back(std::fabs(kept[i].heardUs - heardUs(double(kept[i].sample))));
    std::sort(distances.begin(), distances.end());
    scatterUs = distances[distances.size() * 99 / 100];
    return true;
}

double StampFit::heardUs(double index) const {
    const double nominalUs = 1e6 / sampleRate;
    const auto from = std::lower_bound(kept.begin(), kept.end(), index - sampleRate / 2.0,
                                       [](const auto& stamp, double at) { return double(stamp.sample) < at; });
    std::vector<double> leads;
    for (auto stamp = from; stamp != kept.end() && double(stamp->sample) <= index + sampleRate / 2.0; ++stamp)
        leads.push_back(stamp->heardUs - double(stamp->sample) * nominalUs);
    if (leads.empty()) return kept.front().heardUs + (index - double(kept.front().sample)) * usPerSample;
    std::nth_element(leads.begin(), leads.begin() + std::ptrdiff_t(leads.size() / 2), leads.end());
    return leads[leads.size() / 2] + index * nominalUs;
}
