#include "bench/FrameTimer.h"

#include <GL/gl.h>
#include <valgrind/callgrind.h>

#include <string>

#include "runtime/VirtualClock.h"

FrameTimer::FrameTimer(VirtualClock& clock, const ScheduleList& schedule, int countedFramesPerEntry)
    : clock(clock), countedFramesPerEntry(countedFramesPerEntry) {
    std::uint32_t start = 0;
    for (const ScheduleEntry& entry : schedule) {
        entryStarts.push_back(start);
        entryLengths.push_back(entry.duration());
        start += entry.duration();
    }
    times.resize(entryStarts.size());
    for (std::vector<double>& entryTimes : times) entryTimes.reserve(1 << 16);
    positions.resize(entryStarts.size());
    for (std::vector<std::uint32_t>& entryPositions : positions) entryPositions.reserve(1 << 16);
    countedEntry = entryStarts.size();
    entryCounted.assign(entryStarts.size(), false);
}

void FrameTimer::beginShow() {
    glFinish();
    previousEnd = std::chrono::steady_clock::now();
}

bool FrameTimer::endFrame() {
    glFinish();
    const auto now = std::chrono::steady_clock::now();
    const std::uint32_t position = clock.position();
    const std::size_t entry = entryAt(position);
    times[entry].push_back(std::chrono::duration<double, std::milli>(now - previousEnd).count());
    positions[entry].push_back(position);
    clock.nextFrame();
    if (countedFramesPerEntry > 0) countInstructions(clock.position());
    previousEnd = std::chrono::steady_clock::now();
    return true;
}

std::size_t FrameTimer::entryAt(std::uint32_t positionMs) const {
    std::size_t entry = 0;
    while (entry + 1 < entryStarts.size() && entryStarts[entry + 1] <= positionMs) ++entry;
    return entry;
}

// Counts from the middle of each entry on, for countedFramesPerEntry frames
// (whole frames: from the end of one to the end of the next), and dumps the
// counts of each entry on their own. Outside valgrind these do nothing.
void FrameTimer::countInstructions(std::uint32_t nextPositionMs) {
    if (countedEntry < entryCount()) {
        if (++countedFrames < countedFramesPerEntry) return;
        const std::string name = "entry " + std::to_string(countedEntry + 1);
        CALLGRIND_DUMP_STATS_AT(name.c_str());
        CALLGRIND_STOP_INSTRUMENTATION;
        entryCounted[countedEntry] = true;
        countedEntry = entryCount();
        return;
    }
    const std::size_t next = entryAt(nextPositionMs);
    if (entryCounted[next] || nextPositionMs < entryStarts[next] + entryLengths[next] / 2) return;
    CALLGRIND_START_INSTRUMENTATION;
    CALLGRIND_ZERO_STATS;
    countedEntry = next;
    countedFrames = 0;
}
