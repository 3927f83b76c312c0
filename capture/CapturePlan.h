#pragma once

#include <cstdint>
#include <limits>
#include <map>
#include <string>
#include <vector>

class VirtualClock;

// Which frames of a capture are written, and under which file names. A
// capture plays every frame from the start; this says which of them to keep.
class CapturePlan {
public:
    // The frames on screen from fromMs on, up to the end of the show or to
    // the last one that starts before toMs; named frame-000000.png on from
    // the first written frame. lengthMs is the show's length, for a count of
    // frames when there is no toMs.
    static CapturePlan sequence(const VirtualClock& clock, std::uint32_t fromMs, const std::uint32_t* toMs,
                                std::uint32_t lengthMs);

    // The frame on screen at each time, named by the time in ms.
    static CapturePlan stills(const VirtualClock& clock, const std::vector<std::uint32_t>& timesMs);

    // The file names frame n is written under; empty when it is not written.
    std::vector<std::string> namesOf(std::uint64_t frame) const;

    // The first frame written (for stills, frame 0).
    std::uint64_t firstFrame() const { return first; }

    // The frame after which nothing more is written.
    std::uint64_t lastFrame() const { return last; }

    // How many frames are written (an estimate when the show's own end decides).
    std::uint64_t framesToWrite() const { return expectedFrames; }

private:
    std::uint64_t first = 0;
    std::uint64_t last = std::numeric_limits<std::uint64_t>::max();
    std::uint64_t expectedFrames = 0;
    std::map<std::uint64_t, std::vector<std::string>> stillNames;  // only for stills
};
