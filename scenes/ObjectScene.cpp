#include "scenes/ObjectScene.h"

ObjectScene::ObjectScene() {}

void ObjectScene::start() {}

void ObjectScene::stop() {}

void ObjectScene::render(std::uint32_t, std::uint32_t) {}
