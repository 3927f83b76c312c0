#pragma once

#include <cstdint>

#include "render/SceneObject.h"

// A flat list of triangles drawn untextured and unlit in the current colour.
// The vertices are not owned: they live in a compiled-in mesh blob.
class Mesh : public SceneObject {
public:
    Mesh(std::int32_t triangleCount, const float* vertices);

    void drawGeometry(int n) const override;

private:
    const float* vertices;
    std::int32_t triangleCount;
};
