#pragma once

#include <cstdint>

#include "runtime/Scene.h"

class ObjectScene : public Scene {
public:
    ObjectScene();

    void start() override;
    void stop() override;
    void render(std::uint32_t deltaMs, std::uint32_t timeMs) override;
};
