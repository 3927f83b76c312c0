#include "scenes/ParticleScene.h"

#include <GL/gl.h>

#include "assets/Assets.h"
#include "render/Sprite.h"
#include "scenes/RandomValue.h"

const float particleWidth = 0.01953125f;   // 20 / 1024
const float particleHeight = 0.026041666f; // 20 / 768

namespace {

constexpr std::uint32_t warmUntilMs = 10700;
constexpr std::uint32_t coolUntilMs = 28000;
constexpr std::uint32_t growFromMs = 29486;

// A coordinate in [-spread, +spread] from a random value in [0, 32767].
float coordinate(std::uint32_t random, float spread) {
    const float span = 2.0f * spread;
    return static_cast<float>(double(random) / 32767.0 * span - spread);
}

}  // namespace

ParticleScene::ParticleScene(std::uint32_t count, float spread)
    : particles(count), count(count), spread(spread), texture(dotImage.edge, dotImage.pixels) {}

void ParticleScene::start() {
    scatter();

    // Both axes run the reverse of the usual way, which turns the view by 180
    // degrees about its axis. The camera path loads the model-view matrix.
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glFrustum(1.0, -1.0, 1.0, -1.0, 1.0, 40.0);
    glMatrixMode(GL_MODELVIEW);

    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_TEXTURE_2D);
    texture.upload();
    texture.bind();
}

void ParticleScene::scatter() {
    particles.resize(count);
    std::int32_t previousKind = 0;
    for (Particle& particle : particles) {
        particle.kind = particleKind(randomValue(), previousKind);
        particle.x = coordinate(randomValue(), spread);
        particle.y = coordinate(randomValue(), spread);
        particle.z = coordinate(randomValue(), spread);
        previousKind = particle.kind;
    }
}

void ParticleScene::render(std::uint32_t, std::uint32_t timeMs) {
    const ParticleColour colour = particleColour(timeMs);
    glColor3f(colour.red, colour.green, colour.blue);
    const float size = particleSize(timeMs);

    for (const Particle& particle : particles) {
        const float scale = kindScale(particle.kind);
        const Sprite dot(0.0f, 0.0f, 1.0f, 1.0f, particleWidth * scale, particleHeight * scale);
        dot.draw(particle.x, particle.y, particle.z, size);
    }
}

void ParticleScene::stop() {
    particles.clear();  // keeps its storage for the next start
    texture.release();
}

std::int32_t particleKind(std::uint32_t randomValue, std::int32_t previousKind) {
    switch (randomValue / 4095) {
        case 0: case 1: case 2: case 3: return 0;
        case 4: case 5: return 2;
        case 6: return 3;
        case 7: return 1;
        default: return previousKind;
    }
}

float kindScale(std::int32_t kind) {
    switch (kind) {
        case 1: return 3.0f;
        case 2: return 1.5f;
        case 3: return 2.0f;
        default: return 1.0f;
    }
}

ParticleColour particleColour(std::uint32_t timeMs) {
    const ParticleColour warmWhite = {1.0f, 1.0f, 0.8f};
    const ParticleColour coolBlue = {0.7f, 0.7f, 1.0f};
    if (timeMs <= warmUntilMs) return warmWhite;
    if (timeMs <= coolUntilMs) return coolBlue;
    return warmWhite;
}

float particleSize(std::uint32_t timeMs) {
    if (timeMs <= growFromMs) return 5.0f;
    return static_cast<float>(5.0 + double(timeMs - growFromMs) / 19.0);
}
