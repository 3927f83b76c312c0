#pragma once

#include <cstdint>

class Scene;

// One row of the schedule: which scene runs, and for how many ms of music.
// The scene belongs to the Demo, not to the entry.
class ScheduleEntry {
public:
    ScheduleEntry(Scene* scene, std::uint32_t duration) : entryScene(scene), entryDuration(duration) {}

    Scene* scene() const { return entryScene; }
    std::uint32_t duration() const { return entryDuration; }

private:
    Scene* entryScene;
    std::uint32_t entryDuration;
};
