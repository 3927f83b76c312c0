#include "runtime/DemoRunner.h"

#include <GL/gl.h>

#include "runtime/FrameEnd.h"
#include "runtime/MusicClock.h"
#include "scenes/Scene.h"

void DemoRunner::run(MusicClock& clock, FrameEnd& frameEnd) {
    if (!begin(clock, frameEnd)) return;
    while (step()) {
    }
}

bool DemoRunner::begin(MusicClock& clock, FrameEnd& frameEnd) {
    musicClock = &clock;
    end = &frameEnd;
    frameCount = 0;
    current = schedule().begin();
    if (current == schedule().end()) return false;

    end->beginShow();
    current->scene()->start();
    musicClock->start();

    startTime = 0;
    entryStart = startTime;
    previousTime = startTime;
    return true;
}

bool DemoRunner::step() {
    ++frameCount;
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    const std::uint32_t now = musicClock->position();
    current->scene()->draw(now - previousTime, now - startTime);
    previousTime = now;

    if (!end->endFrame()) return false;

    // An entry ends in the first frame past its duration; the next one is
    // measured from that frame's position.
    if (previousTime - entryStart > current->duration()) {
        current->scene()->stop();
        ++current;
        if (current == schedule().end()) return false;
        current->scene()->start();
        entryStart = previousTime;
    }
    return true;
}

std::uint32_t DemoRunner::averageFps() const {
    if (musicClock == nullptr) return 0;
    const std::uint32_t position = musicClock->position();
    if (position == 0) return 0;
    return frameCount * 1000u / position;
}
