#pragma once

#include <cstdint>

#include "render/PolarGrid.h"
#include "render/Texture.h"
#include "scenes/Scene.h"

// The closing scene: a square view with additive blending and the nebula
// texture, drawing its polar grid in white. The grid is never built, so the
// screen shows the clear colour the earlier scenes left: white.
class GridScene : public Scene {
public:
    GridScene();

    void start() override;
    void stop() override;
    void render(std::uint32_t deltaMs, std::uint32_t timeMs) override;

private:
    PolarGrid grid;
    Texture texture;
};
