#pragma once

#include <cstdint>
#include <vector>

// Where a stretch of the reference sound lies in a recording of it: the shift
// that gives the highest normalized cross-correlation, searched near a guess.
// Both are mono sample sequences at the same rate.
class SoundMatch {
public:
    SoundMatch(const std::vector<float>& reference, const std::vector<float>& recording)
        : reference(reference), recording(recording) {}

    struct Found {
        std::int64_t recordingIndex = -1;  // where reference[referenceIndex] was recorded; -1 if nowhere
        double correlation = 0;            // 1 for an exact copy
    };

    // The recording index of reference[referenceIndex], compared over `window`
    // samples, searched within +-searchRadius of guess.
    Found find(std::int64_t referenceIndex, std::int64_t guess, std::int64_t window, std::int64_t searchRadius) const;

private:
    const std::vector<float>& reference;
    const std::vector<float>& recording;
};
