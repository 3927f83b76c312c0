#include "render/Sprite.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include "tests/support/GlRecorder.h"

namespace {

class SpriteTest : public ::testing::Test {
protected:
    void SetUp() override { glRecorder::reset(); }
};

TEST_F(SpriteTest, DrawsOneQuadFromTheCornerTowardsPlusXAndPlusY) {
    const Sprite sprite(0.25f, 0.5f, 0.75f, 1.0f, 100.0f, 40.0f);
    sprite.draw(10.0f, 20.0f, -5.0f, 2.0f);
    const std::vector<GlCall> expected = {
        {"glBegin", {GL_QUADS}},
        {"glTexCoord2f", {0.25, 0.5}},  {"glVertex3f", {10, 20, -5}},
        {"glTexCoord2f", {0.75, 0.5}},  {"glVertex3f", {210, 20, -5}},
        {"glTexCoord2f", {0.75, 1.0}},  {"glVertex3f", {210, 100, -5}},
        {"glTexCoord2f", {0.25, 1.0}},  {"glVertex3f", {10, 100, -5}},
        {"glEnd", {}},
    };
    EXPECT_EQ(glRecorder::calls(), expected);
}

TEST_F(SpriteTest, ScaleZeroCollapsesTheQuadToTheCorner) {
    const Sprite sprite(0.0f, 0.0f, 1.0f, 1.0f, 1024.0f, 768.0f);
    sprite.draw(3.0f, 4.0f, 0.5f, 0.0f);
    const std::vector<GlCall> vertices = glRecorder::callsNamed("glVertex3f");
    ASSERT_EQ(vertices.size(), 4u);
    for (const GlCall& vertex : vertices) {
        EXPECT_EQ(vertex, (GlCall{"glVertex3f", {3, 4, 0.5}}));
    }
}

TEST_F(SpriteTest, NegativeScaleMirrorsTheQuadBehindTheCornerAndKeepsTheWindow) {
    const Sprite sprite(1.0f, 0.0f, 0.0f, 0.5f, 8.0f, 6.0f);
    sprite.draw(100.0f, 50.0f, 0.0f, -0.5f);
    const std::vector<GlCall> expected = {
        {"glBegin", {GL_QUADS}},
        {"glTexCoord2f", {1.0, 0.0}},  {"glVertex3f", {100, 50, 0}},
        {"glTexCoord2f", {0.0, 0.0}},  {"glVertex3f", {96, 50, 0}},
        {"glTexCoord2f", {0.0, 0.5}},  {"glVertex3f", {96, 47, 0}},
        {"glTexCoord2f", {1.0, 0.5}},  {"glVertex3f", {100, 47, 0}},
        {"glEnd", {}},
    };
    EXPECT_EQ(glRecorder::calls(), expected);
}

}  // namespace
