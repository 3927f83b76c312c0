#include "runtime/Demo.h"

Demo::Demo() : particleScene(1000, 4.0f) {
    for (const Row& row : rows) scheduleList.add(sceneFor(row.effect), row.durationMs);
}

Scene* Demo::sceneFor(const Effect effect) {
    switch (effect) {
    case Effect::particleCloud: return &particleScene;
    case Effect::titleLettering: return &spriteScene;
    case Effect::titlePicture: return &objectScene;
    case Effect::tunnel: return &tunnelScene;
    case Effect::closingGrid: return &gridScene;
    }
    return nullptr;
}
