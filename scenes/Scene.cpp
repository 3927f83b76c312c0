#include "scenes/Scene.h"

#include <GL/gl.h>

#include "assets/Assets.h"

Scene::Scene() : prevKey(&cameraKeys[0]), nextKey(&cameraKeys[1]) {}

void Scene::draw(std::uint32_t deltaMs, std::uint32_t timeMs) {
    if (nextKey->time != 0) {
        // One step per frame at most: a scene drawn far ahead of its keys
        // catches up over several frames.
        if (timeMs > nextKey->time) {
            prevKey = nextKey;
            ++nextKey;
        }
        applyCamera(timeMs);
    }
    render(deltaMs, timeMs);
}

void Scene::applyCamera(std::uint32_t timeMs) const {
    const float f = cameraFactor(*prevKey, *nextKey, timeMs);
    const auto lerp = [f](float from, float to) { return from + (to - from) * f; };

    glLoadIdentity();
    glTranslatef(lerp(prevKey->x, nextKey->x), lerp(prevKey->y, nextKey->y), lerp(prevKey->z, nextKey->z));
    glRotatef(lerp(prevKey->rotX, nextKey->rotX), 1.0f, 0.0f, 0.0f);
    glRotatef(lerp(prevKey->rotY, nextKey->rotY), 0.0f, 1.0f, 0.0f);
    glRotatef(lerp(prevKey->rotZ, nextKey->rotZ), 0.0f, 0.0f, 1.0f);
}

float cameraFactor(const CameraKey& from, const CameraKey& to, std::uint32_t timeMs) {
    // The first frames can read position 0, before the first key's time of 1:
    // show the first key rather than a wrapped, enormous factor.
    if (timeMs < from.time) return 0.0f;
    const std::uint32_t sinceFrom = timeMs - from.time;
    // The span is read as signed: on the step onto the terminating key (time 0)
    // it is negative and the factor a small negative number.
    const auto span = static_cast<std::int32_t>(to.time - from.time);
    return static_cast<float>(static_cast<double>(sinceFrom) / static_cast<double>(span));
}
