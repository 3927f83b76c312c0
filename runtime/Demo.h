#pragma once

#include "runtime/DemoRunner.h"
#include "scenes/GridScene.h"
#include "scenes/ObjectScene.h"
#include "scenes/ParticleScene.h"
#include "scenes/SpriteScene.h"
#include "scenes/TunnelScene.h"

// The demo: five scenes and the schedule that plays them in step with the
// soundtrack. The schedule points into the Demo, so it is never copied.
class Demo : public DemoRunner {
public:
    Demo();

    ScheduleList& schedule() override { return scheduleList; }

    // The sum of the schedule's durations in ms: the show ends in the first
    // frame after this much music (later when entries switch late).
    static constexpr std::uint32_t lengthMs = 123569;

private:
    ParticleScene particleScene;
    TunnelScene tunnelScene;
    SpriteScene spriteScene;
    GridScene gridScene;
    ObjectScene objectScene;
    ScheduleList scheduleList;
};
