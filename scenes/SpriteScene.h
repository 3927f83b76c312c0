#pragma once

#include <cstdint>

#include "render/Mesh.h"
#include "render/Sprite.h"
#include "render/Texture.h"
#include "scenes/Scene.h"

// The title scene: strips of title lettering cut from a sheet slide across
// the lower screen, the first trailing fading copies of itself, while the
// translucent logo spins above them and the background fades from black to
// white and back. All motion follows the music position from 10700 ms on, so
// the second run continues the first.
class SpriteScene : public Scene {
public:
    SpriteScene();
    ~SpriteScene() override;

    void start() override;
    void stop() override;
    void render(std::uint32_t deltaMs, std::uint32_t timeMs) override;

private:
    void drawPieces(std::uint32_t elapsed) const;
    void drawLogo(std::uint32_t elapsed) const;

    Mesh mesh;
    Sprite piece1;
    Sprite piece2;
    Sprite piece3;
    Sprite piece4;
    Sprite piece5;
    Texture sheet;
};

// The background grey at `elapsed` ms into the scene: up from black over the
// first 500 ms, white until 1000, then down, below 0 (black) after 1500.
float backgroundFade(std::uint32_t elapsed);

// The logo's spin in whole degrees: 320 at the start, one more every 40 ms.
float logoAngle(std::uint32_t elapsed);
