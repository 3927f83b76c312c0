#pragma once

#include <cstdint>

#include "runtime/Scene.h"

class SpriteScene : public Scene {
public:
    SpriteScene();

    void start() override;
    void stop() override;
    void render(std::uint32_t deltaMs, std::uint32_t timeMs) override;
};
