#include "scenes/SpriteScene.h"

SpriteScene::SpriteScene() {}

void SpriteScene::start() {}

void SpriteScene::stop() {}

void SpriteScene::render(std::uint32_t, std::uint32_t) {}
