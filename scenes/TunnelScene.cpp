#include "scenes/TunnelScene.h"

TunnelScene::TunnelScene() {}

void TunnelScene::start() {}

void TunnelScene::stop() {}

void TunnelScene::render(std::uint32_t, std::uint32_t) {}
