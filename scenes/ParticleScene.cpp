#include "scenes/ParticleScene.h"

ParticleScene::ParticleScene(std::uint32_t, float) {}

void ParticleScene::start() {}

void ParticleScene::stop() {}

void ParticleScene::render(std::uint32_t, std::uint32_t) {}
