#pragma once

#include <cstdint>
#include <string>

#include "scenes/Scene.h"
#include "tests/support/GlRecorder.h"

// A scene that writes its start, stop and render calls to the GL call log, so
// tests see them in order with the frame loop's own calls.
class RecordingScene : public Scene {
public:
    explicit RecordingScene(std::string name) : name(std::move(name)) {}

    void start() override { glRecorder::record("start:" + name); }
    void stop() override { glRecorder::record("stop:" + name); }
    void render(std::uint32_t deltaMs, std::uint32_t timeMs) override {
        glRecorder::record("render:" + name, {double(deltaMs), double(timeMs)});
    }

private:
    std::string name;
};
