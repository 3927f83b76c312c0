#include "bench/SoundMatch.h"

#include <algorithm>
#include <cmath>

SoundMatch::Found SoundMatch::find(std::int64_t referenceIndex, std::int64_t guess, std::int64_t window,
                                   std::int64_t searchRadius) const {
    Found best;
    if (referenceIndex < 0 || referenceIndex + window > std::int64_t(reference.size())) return best;
    const float* wanted = reference.data() + referenceIndex;
    double wantedEnergy = 0;
    for (std::int64_t i = 0; i < window; ++i) wantedEnergy += double(wanted[i]) * wanted[i];
    if (wantedEnergy <= 0) return best;
    const std::int64_t first = std::max<std::int64_t>(0, guess - searchRadius);
    const std::int64_t last = std::min<std::int64_t>(std::int64_t(recording.size()) - window, guess + searchRadius);
    for (std::int64_t start = first; start <= last; ++start) {
        const float* heard = recording.data() + start;
        double product = 0, energy = 0;
        for (std::int64_t i = 0; i < window; ++i) {
            product += double(wanted[i]) * heard[i];
            energy += double(heard[i]) * heard[i];
        }
        if (energy <= 0) continue;
        const double correlation = product / std::sqrt(wantedEnergy * energy);
        if (correlation > best.correlation) best = {start, correlation};
    }
    return best;
}
