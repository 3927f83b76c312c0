#include "capture/CapturePlan.h"

#include <cstdio>

#include "runtime/VirtualClock.h"

CapturePlan CapturePlan::sequence(const VirtualClock& clock, std::uint32_t fromMs, const std::uint32_t* toMs,
                                  std::uint32_t lengthMs) {
    CapturePlan plan;
    plan.first = clock.frameShownAt(fromMs);
    if (toMs != nullptr) {
        // The last frame whose position is before toMs: toMs itself belongs
        // to the next frame, so --from 0 --to 1000 at 60 fps gives 60 frames.
        plan.last = clock.frameShownAt(*toMs - 1);
        plan.expectedFrames = plan.last - plan.first + 1;
    } else {
        plan.expectedFrames = clock.frameShownAt(lengthMs) - plan.first + 2;
    }
    return plan;
}

CapturePlan CapturePlan::stills(const VirtualClock& clock, const std::vector<std::uint32_t>& timesMs) {
    CapturePlan plan;
    plan.last = 0;
    for (const std::uint32_t time : timesMs) {
        const std::uint64_t frame = clock.frameShownAt(time);
        plan.stillNames[frame].push_back(std::to_string(time) + ".png");
        plan.last = std::max(plan.last, frame);
    }
    plan.expectedFrames = plan.stillNames.size();
    return plan;
}

std::vector<std::string> CapturePlan::namesOf(std::uint64_t frame) const {
    if (frame > last) return {};
    if (!stillNames.empty()) {
        const auto found = stillNames.find(frame);
        return found == stillNames.end() ? std::vector<std::string>{} : found->second;
    }
    if (frame < first) return {};
    char name[32];
    std::snprintf(name, sizeof name, "frame-%06llu.png", static_cast<unsigned long long>(frame - first));
    return {name};
}
