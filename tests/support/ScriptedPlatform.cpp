#include "tests/support/ScriptedPlatform.h"

#include <deque>
#include <utility>

#include "audio/Audio.h"
#include "tests/support/GlRecorder.h"

namespace {

struct QueuedEvent {
    int swaps;
    SDL_Event event;
};

struct Script {
    std::function<std::uint32_t(int)> clock = [](int) { return 0u; };
    int readings = 0;
    int swaps = 0;
    bool soundtrackPresent = true;
    std::deque<QueuedEvent> events;
    std::vector<std::string> openedFiles;
};

Script& script() {
    static Script state;
    return state;
}

// Any non-null handle will do: the stand-in never looks inside it.
MusicStream* const fakeStream = reinterpret_cast<MusicStream*>(0x1);

}  // namespace

namespace scriptedPlatform {

void reset() { script() = Script(); }

void setClock(std::function<std::uint32_t(int)> clock) { script().clock = std::move(clock); }

void setPositions(std::vector<std::uint32_t> positions) {
    setClock([positions = std::move(positions)](int reading) {
        const size_t index = std::min(size_t(reading), positions.size() - 1);
        return positions[index];
    });
}

void setSoundtrackPresent(bool present) { script().soundtrackPresent = present; }

void queueEventAfterSwap(int swaps, SDL_Event event) { script().events.push_back({swaps, event}); }

SDL_Event keyDown(SDLKey key) {
    SDL_Event event{};
    event.type = SDL_KEYDOWN;
    event.key.keysym.sym = key;
    return event;
}

SDL_Event quitEvent() {
    SDL_Event event{};
    event.type = SDL_QUIT;
    return event;
}

const std::vector<std::string>& openedFiles() { return script().openedFiles; }

int unreadEvents() { return int(script().events.size()); }

}  // namespace scriptedPlatform

namespace audio {

bool init(int) { return true; }
void close() {}

MusicStream* openStream(const char* fileName) {
    script().openedFiles.push_back(fileName);
    glRecorder::record("openStream");
    return script().soundtrackPresent ? fakeStream : nullptr;
}

void setStreamTime(MusicStream*, std::uint32_t positionMs) { glRecorder::record("setStreamTime", {double(positionMs)}); }
void playStream(MusicStream*) { glRecorder::record("playStream"); }

std::uint32_t streamTime(MusicStream* stream) {
    if (stream == nullptr) return 0;
    return script().clock(script().readings++);
}

}  // namespace audio

extern "C" {

void SDL_WM_SetCaption(const char* title, const char* icon) {
    glRecorder::record(std::string("caption:") + title + "|" + icon);
}

void SDL_GL_SwapBuffers() {
    ++script().swaps;
    glRecorder::record("swap");
}

int SDL_PollEvent(SDL_Event* event) {
    auto& events = script().events;
    if (events.empty() || events.front().swaps > script().swaps) return 0;
    *event = events.front().event;
    events.pop_front();
    return 1;
}

}  // extern "C"
