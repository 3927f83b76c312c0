#pragma once

#include <cstdint>

#include "render/Texture.h"
#include "scenes/Scene.h"

// How far the tunnel's wall pattern has streamed; it moves on every frame and
// is never reset, so its speed follows the frame rate.
extern float tunnelScroll;

// The mouth of a 20-sided textured tube running from the eye to the far plane,
// its wall streaming towards the viewer. It draws with the colour and blending
// that the scene before it leaves.
class TunnelScene : public Scene {
public:
    TunnelScene();

    void start() override;
    void stop() override;
    void render(std::uint32_t deltaMs, std::uint32_t timeMs) override;

private:
    Texture texture;
};
