#include "render/PolarGrid.h"

#include <GL/gl.h>

#include <cmath>
#include <stdexcept>

// Defined in this order so that the sine table is created first and destroyed last.
std::vector<float> sineTable;
std::vector<float> cosineTable;

namespace {

constexpr float gridPi = 3.141592f;
constexpr std::uint32_t minimumBandSegments = 32;
// Each band pass runs this many steps beyond a full turn.
constexpr std::uint32_t bandOverlapSteps = 15;
constexpr std::uint32_t fanVerticesPerSegment = 3;
constexpr std::uint32_t bandVerticesPerStep = 12;

constexpr float textureOffset = 20.0f;
constexpr float textureSpan = 40.0f;
constexpr float textureAspect = 0.7106f;

void sampleAngles(std::uint32_t segments) {
    const float step = gridPi / static_cast<float>(segments);
    const float end = 3.0f * gridPi;
    sineTable.clear();
    cosineTable.clear();
    for (float angle = 0.0f; angle < end; angle += step) {
        sineTable.push_back(static_cast<float>(std::sin(static_cast<double>(angle))));
        cosineTable.push_back(static_cast<float>(std::cos(static_cast<double>(angle))));
    }
}

std::size_t vertexCount(std::uint32_t rings, std::uint32_t segments) {
    const std::size_t fan = std::size_t{fanVerticesPerSegment} * segments;
    if (rings < 2) {
        return fan;
    }
    return fan + std::size_t{bandVerticesPerStep} * (segments + bandOverlapSteps) * (rings - 1);
}

}  // namespace

void PolarGrid::build(std::uint32_t rings, std::uint32_t segments) {
    if (segments == 0) {
        throw std::invalid_argument("PolarGrid::build: segments must be at least 1");
    }
    if (rings >= 2 && segments < minimumBandSegments) {
        throw std::invalid_argument("PolarGrid::build: segments must be at least 32 with two or more rings");
    }
    this->rings = rings;
    this->segments = segments;
    sampleAngles(segments);

    vertices.clear();
    vertices.reserve(vertexCount(rings, segments));
    for (std::uint32_t r = 0; r < 2 * segments; r += 2) {
        emitVertex(0, r);
        emitVertex(1, r);
        emitVertex(1, r + 2);
    }
    const std::uint32_t bandEnd = 2 * segments + 2 * bandOverlapSteps;
    for (std::uint32_t s = 1; s < rings; ++s) {
        for (std::uint32_t r = 0; r < bandEnd; r += 2) {
            emitVertex(s, r);
            emitVertex(s + 1, r + 1);
            emitVertex(s, r + 2);

            emitVertex(s + 1, r + 1);
            emitVertex(s + 1, r + 3);
            emitVertex(s, r + 2);

            emitVertex(s + 2, r);
            emitVertex(s + 2, r + 2);
            emitVertex(s + 1, r + 1);

            emitVertex(s + 1, r + 1);
            emitVertex(s + 1, r + 3);
            emitVertex(s + 2, r + 2);
        }
    }
}

void PolarGrid::emitVertex(std::uint32_t ring, std::uint32_t index) {
    const float radius = static_cast<float>(ring);
    const float x = radius * cosineTable[index];
    const float y = radius * sineTable[index];
    const float u = (x + textureOffset) / textureSpan;
    const float v = (-y - textureOffset) / textureSpan / textureAspect;
    vertices.push_back(GridVertex{x, y, 0.0f, 1.0f, 1.0f, 1.0f, u, v});
}

void PolarGrid::draw() const {
    glBegin(GL_TRIANGLES);
    for (const GridVertex& vertex : vertices) {
        glTexCoord2d(vertex.u, vertex.v);
        glVertex3f(vertex.x, vertex.y, vertex.z);
    }
    glEnd();
}
