#pragma once

#include <chrono>
#include <cstdint>
#include <vector>

#include "runtime/FrameEnd.h"
#include "runtime/ScheduleList.h"

class VirtualClock;

// The end of a frame for the frame-cost benchmark: waits for the GL to finish
// the frame, takes the time since the previous frame ended, files it with the
// frame's music time under the schedule entry that time belongs to, and moves
// the virtual clock on. Under callgrind it also counts instructions for a few
// frames in the middle of each entry, one dump per entry.
class FrameTimer : public FrameEnd {
public:
    FrameTimer(VirtualClock& clock, const ScheduleList& schedule, int countedFramesPerEntry);

    void beginShow() override;
    bool endFrame() override;

    std::size_t entryCount() const { return entryStarts.size(); }
    // Frame times in ms of one entry, in the order they were drawn.
    const std::vector<double>& frameTimesMs(std::size_t entry) const { return times[entry]; }
    // The music position in ms of each of those frames, in the same order.
    const std::vector<std::uint32_t>& framePositionsMs(std::size_t entry) const { return positions[entry]; }

private:
    std::size_t entryAt(std::uint32_t positionMs) const;
    void countInstructions(std::uint32_t nextPositionMs);

    VirtualClock& clock;
    std::vector<std::uint32_t> entryStarts;
    std::vector<std::uint32_t> entryLengths;
    std::vector<std::vector<double>> times;
    std::vector<std::vector<std::uint32_t>> positions;
    std::chrono::steady_clock::time_point previousEnd;
    int countedFramesPerEntry;
    int countedFrames = 0;      // frames of the current dump so far
    std::size_t countedEntry;   // the entry being counted, or entryCount() when none
    std::vector<bool> entryCounted;
};
