#pragma once

#include <cstdint>

#include "runtime/DemoRunner.h"
#include "scenes/GridScene.h"
#include "scenes/ObjectScene.h"
#include "scenes/ParticleScene.h"
#include "scenes/SpriteScene.h"
#include "scenes/TunnelScene.h"

// The demo: five scenes and the schedule that plays them in step with the
// soundtrack. The schedule points into the Demo, so it is never copied.
class Demo : public DemoRunner {
    // The five scenes, each named for what it shows.
    enum class Effect { particleCloud, titleLettering, titlePicture, tunnel, closingGrid };

    // One row of the schedule as written down: which effect, for how long.
    struct Row {
        Effect effect;
        std::uint32_t durationMs;
    };

    // The schedule in playing order. The entries start at about 0, 10700,
    // 12200, 19999, 26378, 31410, 72410 and 92299 ms of music.
    static constexpr Row rows[] = {
        {Effect::particleCloud, 10700},   // a warm particle cloud
        {Effect::titleLettering, 1500},   // the title lettering slides in
        {Effect::particleCloud, 7799},    // the cloud again, in blue
        {Effect::titleLettering, 6379},   // the spinning logo over black
        {Effect::particleCloud, 5032},    // the cloud grows
        {Effect::titlePicture, 41000},    // the title picture and the logo
        {Effect::tunnel, 19889},          // the tunnel
        {Effect::closingGrid, 31270},     // the close
    };

public:
    Demo();

    ScheduleList& schedule() override { return scheduleList; }

    // The sum of the schedule's durations in ms: the show ends in the first
    // frame after this much music (later when entries switch late).
    static constexpr std::uint32_t lengthMs = [] {
        std::uint32_t sum = 0;
        for (const Row& row : rows) sum += row.durationMs;
        return sum;
    }();

private:
    Scene* sceneFor(Effect effect);

    ParticleScene particleScene;
    TunnelScene tunnelScene;
    SpriteScene spriteScene;
    GridScene gridScene;
    ObjectScene objectScene;
    ScheduleList scheduleList;
};
