#include "runtime/DemoRunner.h"

#include <GL/gl.h>
#include <SDL.h>

#include <iostream>

#include "audio/Audio.h"
#include "runtime/Failure.h"
#include "runtime/MusicClock.h"
#include "runtime/Scene.h"

const char* const windowTitle = "Vorn Tidewash Demo v 0.3";
const char* const iconTitle = "Vorn";
const char* const soundtrackFile = "Quietfall.MP3";

namespace {

void openSoundtrack() {
    musicStream = audio::openStream(soundtrackFile);
    if (musicStream == nullptr) throw Failure("Cannot find file quietfall.mp3!");
    audio::setStreamTime(musicStream, 0);
    audio::playStream(musicStream);
}

// Handles the events queued since the last frame. Space writes the music
// position; returns true when the viewer asks to quit (Escape or closing the
// window), leaving any later events unread.
bool viewerQuits() {
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
        if (event.type == SDL_QUIT) return true;
        if (event.type != SDL_KEYDOWN) continue;
        if (event.key.keysym.sym == SDLK_ESCAPE) return true;
        if (event.key.keysym.sym == SDLK_SPACE) std::cout << musicTime() << std::endl;
    }
    return false;
}

}  // namespace

void DemoRunner::run() {
    frameCount = 0;
    ScheduleList& entries = schedule();
    auto current = entries.begin();
    if (current == entries.end()) return;

    SDL_WM_SetCaption(windowTitle, iconTitle);
    current->scene()->start();
    openSoundtrack();

    startTime = 0;
    std::uint32_t entryStart = startTime;
    std::uint32_t previousTime = startTime;
    for (;;) {
        ++frameCount;
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        const std::uint32_t now = musicTime();
        current->scene()->draw(now - previousTime, now - startTime);
        previousTime = now;
        SDL_GL_SwapBuffers();

        if (viewerQuits()) return;

        // An entry ends in the first frame past its duration; the next one is
        // measured from that frame's position.
        if (previousTime - entryStart > current->duration()) {
            current->scene()->stop();
            ++current;
            if (current == entries.end()) return;
            current->scene()->start();
            entryStart = previousTime;
        }
    }
}

std::uint32_t DemoRunner::averageFps() const {
    const std::uint32_t position = musicTime();
    if (position == 0) return 0;
    return frameCount * 1000u / position;
}
