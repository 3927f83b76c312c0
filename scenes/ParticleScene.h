#pragma once

#include <cstdint>
#include <vector>

#include "render/Texture.h"
#include "scenes/Scene.h"

// The size of a particle sprite at scale 1; their 3:4 ratio makes the sprites
// square on the 4:3 screen.
extern const float particleWidth;
extern const float particleHeight;

struct Particle {
    std::int32_t kind;  // size class, 0 to 3
    float x;
    float y;
    float z;
};

// A cloud of soft glowing dots scattered through a cube around the origin,
// seen through the camera path. Every start scatters a new cloud; colour and
// size follow the music position.
class ParticleScene : public Scene {
public:
    ParticleScene(std::uint32_t count, float spread);

    void start() override;
    void stop() override;
    void render(std::uint32_t deltaMs, std::uint32_t timeMs) override;

    const std::vector<Particle>& cloud() const { return particles; }

private:
    void scatter();

    std::vector<Particle> particles;
    std::uint32_t count;
    float spread;  // half the edge of the cube
    Texture texture;
};

// The size class for a random value: 0 to 16379 give 0, up to 24569 give 2, up
// to 28664 give 3, up to 32759 give 1; the top eight values repeat
// `previousKind`.
std::int32_t particleKind(std::uint32_t randomValue, std::int32_t previousKind);

// How much bigger than a kind-0 sprite a sprite of this kind is drawn.
float kindScale(std::int32_t kind);

// The colour and the scale of the particles at a music position.
struct ParticleColour {
    float red;
    float green;
    float blue;
};
ParticleColour particleColour(std::uint32_t timeMs);
float particleSize(std::uint32_t timeMs);
