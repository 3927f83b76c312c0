#pragma once

#include <cstdint>
#include <vector>

#include "runtime/ScheduleEntry.h"

// The schedule: entries in playing order.
class ScheduleList : public std::vector<ScheduleEntry> {
public:
    void add(Scene* scene, std::uint32_t duration) { emplace_back(scene, duration); }
};
