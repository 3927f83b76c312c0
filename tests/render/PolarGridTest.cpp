#include "render/PolarGrid.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cmath>
#include <stdexcept>
#include <vector>

#include "tests/support/GlRecorder.h"

namespace {

struct DrawnVertex {
    double u, v;
    double x, y, z;
};

// Draws the grid through the recorder and reads back what it sent.
std::vector<DrawnVertex> drawnVertices(const PolarGrid& grid) {
    glRecorder::reset();
    grid.draw();
    const std::vector<GlCall>& calls = glRecorder::calls();
    EXPECT_EQ(calls.front(), (GlCall{"glBegin", {GL_TRIANGLES}}));
    EXPECT_EQ(calls.back(), (GlCall{"glEnd", {}}));
    std::vector<DrawnVertex> vertices;
    for (size_t i = 1; i + 2 < calls.size(); i += 2) {
        EXPECT_EQ(calls[i].name, "glTexCoord2d");
        EXPECT_EQ(calls[i + 1].name, "glVertex3f");
        vertices.push_back({calls[i].args[0], calls[i].args[1], calls[i + 1].args[0], calls[i + 1].args[1],
                            calls[i + 1].args[2]});
    }
    return vertices;
}

double radiusOf(const DrawnVertex& vertex) { return std::hypot(vertex.x, vertex.y); }

TEST(PolarGrid, NeverBuiltDrawsOneEmptyBatch) {
    const PolarGrid grid;
    glRecorder::reset();
    grid.draw();
    const std::vector<GlCall> expected = {{"glBegin", {GL_TRIANGLES}}, {"glEnd", {}}};
    EXPECT_EQ(glRecorder::calls(), expected);
}

TEST(PolarGrid, VertexCountsFollowRingsAndSegments) {
    PolarGrid grid;
    grid.build(0, 32);
    EXPECT_EQ(drawnVertices(grid).size(), 96u);
    grid.build(1, 32);
    EXPECT_EQ(drawnVertices(grid).size(), 96u);
    grid.build(2, 32);
    EXPECT_EQ(drawnVertices(grid).size(), 96u + 564u);
    grid.build(3, 32);
    EXPECT_EQ(drawnVertices(grid).size(), 1224u);
    grid.build(1, 5);
    EXPECT_EQ(drawnVertices(grid).size(), 15u) << "a fan alone needs no minimum segment count";
    grid.build(4, 64);
    EXPECT_EQ(drawnVertices(grid).size(), 3u * 64 + 12u * (64 + 15) * 3);
}

TEST(PolarGrid, FanClosesTheTurnWithinRadiusOne) {
    PolarGrid grid;
    grid.build(1, 32);
    const std::vector<DrawnVertex> vertices = drawnVertices(grid);
    for (size_t i = 0; i < vertices.size(); i += 3) {
        EXPECT_EQ(vertices[i].x, 0.0);
        EXPECT_EQ(vertices[i].y, 0.0);
        EXPECT_NEAR(radiusOf(vertices[i + 1]), 1.0, 1e-6);
        EXPECT_NEAR(radiusOf(vertices[i + 2]), 1.0, 1e-6);
    }
    EXPECT_EQ(vertices[1].x, 1.0);
    EXPECT_NEAR(vertices.back().x, 1.0, 1e-5) << "the last fan triangle ends one full turn on";
    EXPECT_NEAR(vertices.back().y, 0.0, 1e-5);
}

TEST(PolarGrid, BandsLieOnWholeRingsOutToRingsPlusOne) {
    PolarGrid grid;
    grid.build(3, 32);
    double outermost = 0;
    for (const DrawnVertex& vertex : drawnVertices(grid)) {
        const double radius = radiusOf(vertex);
        EXPECT_NEAR(radius, std::round(radius), 1e-5);
        EXPECT_EQ(vertex.z, 0.0);
        outermost = std::max(outermost, radius);
    }
    EXPECT_NEAR(outermost, 4.0, 1e-5);
}

// Checks the twelve vertices of one band pass against the rings and sample
// indices they must sit at.
void expectBandPass(const std::vector<DrawnVertex>& vertices, size_t first, std::uint32_t s, std::uint32_t r) {
    const std::uint32_t places[12][2] = {
        {s, r},     {s + 1, r + 1}, {s, r + 2},     {s + 1, r + 1}, {s + 1, r + 3}, {s, r + 2},
        {s + 2, r}, {s + 2, r + 2}, {s + 1, r + 1}, {s + 1, r + 1}, {s + 1, r + 3}, {s + 2, r + 2},
    };
    for (size_t k = 0; k < 12; ++k) {
        const float radius = static_cast<float>(places[k][0]);
        const std::uint32_t index = places[k][1];
        EXPECT_EQ(vertices[first + k].x, radius * cosineTable[index]) << "vertex " << first + k;
        EXPECT_EQ(vertices[first + k].y, radius * sineTable[index]) << "vertex " << first + k;
    }
}

TEST(PolarGrid, BandPassesStaggerTheMiddleRingBySamples) {
    PolarGrid grid;
    grid.build(3, 32);
    const std::vector<DrawnVertex> vertices = drawnVertices(grid);
    const size_t fan = 96;
    const size_t pass = 12 * (32 + 15);
    expectBandPass(vertices, fan, 1, 0);
    expectBandPass(vertices, fan + 12, 1, 2);
    expectBandPass(vertices, fan + pass - 12, 1, 92);  // the last step reaches sample 95 of 97
    expectBandPass(vertices, fan + pass, 2, 0);
    expectBandPass(vertices, vertices.size() - 12, 2, 92);
}

TEST(PolarGrid, TablesHoldOneRunOfSamplesPerBuild) {
    PolarGrid grid;
    grid.build(1, 32);
    EXPECT_EQ(sineTable.size(), 97u);
    EXPECT_EQ(cosineTable.size(), 97u);
    EXPECT_EQ(sineTable[0], 0.0f);
    EXPECT_EQ(cosineTable[0], 1.0f);
    EXPECT_NEAR(sineTable[32], 0.0f, 1e-6) << "sample 32 is half a turn";
    EXPECT_NEAR(cosineTable[32], -1.0f, 1e-6);

    grid.build(1, 64);
    EXPECT_EQ(sineTable.size(), 192u);
    EXPECT_EQ(cosineTable.size(), 192u);
    EXPECT_NEAR(cosineTable[64], -1.0f, 1e-6);
    EXPECT_EQ(sineTable[0], 0.0f);
}

TEST(PolarGrid, SamplesAccumulateTheSinglePrecisionStepFromTheShortPi) {
    // The angles step by 3.141592 / segments, summed in single precision, up to
    // but not including 3 * 3.141592; sin and cos are taken in double precision.
    for (const std::uint32_t segments : {32u, 64u, 100u}) {
        PolarGrid grid;
        grid.build(1, segments);
        const float step = 3.141592f / static_cast<float>(segments);
        std::size_t index = 0;
        for (float angle = 0.0f; angle < 3.0f * 3.141592f; angle += step, ++index) {
            ASSERT_LT(index, sineTable.size()) << segments << " segments";
            EXPECT_EQ(sineTable[index], static_cast<float>(std::sin(static_cast<double>(angle))));
            EXPECT_EQ(cosineTable[index], static_cast<float>(std::cos(static_cast<double>(angle))));
        }
        EXPECT_EQ(sineTable.size(), index) << segments << " segments";
        EXPECT_EQ(cosineTable.size(), index) << segments << " segments";
    }
}

TEST(PolarGrid, EveryBuildIsRightWhateverCameBefore) {
    PolarGrid fresh;
    fresh.build(3, 32);
    const std::vector<DrawnVertex> expected = drawnVertices(fresh);

    PolarGrid other;
    other.build(2, 64);
    PolarGrid again;
    again.build(3, 32);
    const std::vector<DrawnVertex> rebuilt = drawnVertices(again);
    ASSERT_EQ(rebuilt.size(), expected.size());
    for (size_t i = 0; i < rebuilt.size(); ++i) {
        EXPECT_EQ(rebuilt[i].x, expected[i].x) << i;
        EXPECT_EQ(rebuilt[i].y, expected[i].y) << i;
    }
    EXPECT_EQ(sineTable.size(), 97u);
}

TEST(PolarGrid, EmitVertexMapsPositionsToTextureCoordinates) {
    PolarGrid tables;
    tables.build(1, 32);

    PolarGrid grid;
    grid.emitVertex(0, 17);
    grid.emitVertex(1, 0);
    grid.emitVertex(20, 48);
    const std::vector<DrawnVertex> vertices = drawnVertices(grid);
    ASSERT_EQ(vertices.size(), 3u);

    EXPECT_EQ(vertices[0].x, 0.0);
    EXPECT_EQ(vertices[0].y, 0.0);
    EXPECT_EQ(vertices[0].u, 0.5);
    EXPECT_NEAR(vertices[0].v, -0.70363, 1e-5);

    EXPECT_EQ(vertices[1].x, 1.0);
    EXPECT_EQ(vertices[1].y, 0.0);
    EXPECT_FLOAT_EQ(vertices[1].u, 0.525);
    EXPECT_NEAR(vertices[1].v, -0.70363, 1e-5);

    EXPECT_NEAR(vertices[2].y, -20.0, 1e-4);
    EXPECT_NEAR(vertices[2].v, 0.0, 1e-5);
    EXPECT_NEAR(vertices[2].u, 0.5, 1e-5);
    for (const DrawnVertex& vertex : vertices) EXPECT_EQ(vertex.z, 0.0);
}

TEST(PolarGrid, RejectsSegmentCountsThatWouldReadPastTheTables) {
    PolarGrid grid;
    grid.build(2, 32);
    const std::vector<DrawnVertex> before = drawnVertices(grid);

    EXPECT_THROW(grid.build(0, 0), std::invalid_argument);
    EXPECT_THROW(grid.build(1, 0), std::invalid_argument);
    EXPECT_THROW(grid.build(2, 31), std::invalid_argument);
    EXPECT_THROW(grid.build(5, 1), std::invalid_argument);

    EXPECT_EQ(drawnVertices(grid).size(), before.size()) << "a rejected build leaves the grid as it was";
    EXPECT_EQ(drawnVertices(grid).back().x, before.back().x);
    EXPECT_EQ(sineTable.size(), 97u) << "and leaves the tables as they were";
}

}  // namespace
