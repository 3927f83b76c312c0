#include "render/Mesh.h"

#include <GL/gl.h>

namespace {

constexpr std::uint32_t floatsPerTriangle = 9;
constexpr std::uint32_t floatsPerVertex = 3;

}  // namespace

Mesh::Mesh(std::int32_t triangleCount, const float* vertices) : vertices(vertices), triangleCount(triangleCount) {}

void Mesh::drawGeometry(int /*n*/) const {
    const std::uint32_t floatCount = static_cast<std::uint32_t>(triangleCount) * floatsPerTriangle;
    glBegin(GL_TRIANGLES);
    for (std::uint32_t i = 0; i < floatCount; i += floatsPerVertex) {
        glVertex3f(vertices[i], vertices[i + 1], vertices[i + 2]);
    }
    glEnd();
}
