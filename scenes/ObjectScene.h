#pragma once

#include <cstdint>

#include "render/BitmapFont.h"
#include "render/Mesh.h"
#include "render/Sprite.h"
#include "render/Texture.h"
#include "scenes/Scene.h"

// The title picture over the whole screen, with the logo in translucent blue
// in front of it, tilted and spinning steadily. Its start makes white the
// clear colour for the rest of the demo.
class ObjectScene : public Scene {
public:
    ObjectScene();
    ~ObjectScene() override;

    void start() override;
    void stop() override;
    void render(std::uint32_t deltaMs, std::uint32_t timeMs) override;

private:
    Mesh mesh;
    Sprite backdrop;
    Texture picture;
    BitmapFont font;  // built with the scene; the demo draws no text with it
};

// The logo's spin in degrees: 320 at 41000 ms, one more every 40 ms, and as
// far before that as the music position lies before it.
float spinAngle(std::uint32_t timeMs);
