#pragma once

#include <cstdint>

#include "runtime/Scene.h"

class ParticleScene : public Scene {
public:
    ParticleScene(std::uint32_t count, float spread);

    void start() override;
    void stop() override;
    void render(std::uint32_t deltaMs, std::uint32_t timeMs) override;
};
