#include "scenes/GridScene.h"

GridScene::GridScene() {}

void GridScene::start() {}

void GridScene::stop() {}

void GridScene::render(std::uint32_t, std::uint32_t) {}
