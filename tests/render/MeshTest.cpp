#include "render/Mesh.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <vector>

#include "assets/Assets.h"
#include "tests/support/GlRecorder.h"

namespace {

class MeshTest : public ::testing::Test {
protected:
    void SetUp() override { glRecorder::reset(); }
};

TEST_F(MeshTest, DefaultTransformIsNeutralAndTrianglesComeInStoredOrder) {
    const float vertices[18] = {1, 2, 3, 4, 5, 6, 7, 8, 9, -1, -2, -3, -4, -5, -6, -7, -8, -9};
    const Mesh mesh(2, vertices);
    mesh.draw(0);
    const std::vector<GlCall> expected = {
        {"glPushMatrix", {}},
        {"glTranslatef", {0, 0, 0}},
        {"glRotatef", {0, 0, 0, 0}},
        {"glScalef", {1, 1, 1}},
        {"glBegin", {GL_TRIANGLES}},
        {"glVertex3f", {1, 2, 3}},
        {"glVertex3f", {4, 5, 6}},
        {"glVertex3f", {7, 8, 9}},
        {"glVertex3f", {-1, -2, -3}},
        {"glVertex3f", {-4, -5, -6}},
        {"glVertex3f", {-7, -8, -9}},
        {"glEnd", {}},
        {"glPopMatrix", {}},
    };
    EXPECT_EQ(glRecorder::calls(), expected);
}

TEST_F(MeshTest, TransformIsTranslateThenRotateThenScaleInsideOnePushPop) {
    const float vertices[9] = {};
    Mesh mesh(1, vertices);
    mesh.translateX = 600;
    mesh.translateY = 400;
    mesh.translateZ = -5;
    mesh.angle = 75;
    mesh.axisX = 1;
    mesh.axisY = 0.5f;
    mesh.axisZ = 0.25f;
    mesh.scaleX = 15;
    mesh.scaleY = -2;
    mesh.scaleZ = 3;
    mesh.draw(7);
    const std::vector<GlCall> calls = glRecorder::calls();
    ASSERT_EQ(calls.size(), 10u);
    EXPECT_EQ(calls[0], (GlCall{"glPushMatrix", {}}));
    EXPECT_EQ(calls[1], (GlCall{"glTranslatef", {600, 400, -5}}));
    EXPECT_EQ(calls[2], (GlCall{"glRotatef", {75, 1, 0.5, 0.25}}));
    EXPECT_EQ(calls[3], (GlCall{"glScalef", {15, -2, 3}}));
    EXPECT_EQ(calls.back(), (GlCall{"glPopMatrix", {}}));
}

TEST_F(MeshTest, EmptyMeshEmitsAnEmptyBatch) {
    const Mesh mesh(0, nullptr);
    mesh.draw(0);
    const std::vector<std::string> expected = {"glPushMatrix", "glTranslatef", "glRotatef", "glScalef",
                                               "glBegin",      "glEnd",        "glPopMatrix"};
    EXPECT_EQ(glRecorder::names(), expected);
}

TEST_F(MeshTest, LogoMeshEmitsItsVerticesInStoredOrderAndRestoresTheMatrix) {
    const Mesh mesh(logoMesh.triangleCount, logoMesh.vertices);
    mesh.draw(0);
    const std::vector<GlCall> emitted = glRecorder::callsNamed("glVertex3f");
    ASSERT_EQ(emitted.size(), 1176u);
    for (size_t i = 0; i < emitted.size(); ++i) {
        const float* stored = &logoMesh.vertices[i * 3];
        ASSERT_EQ(emitted[i], (GlCall{"glVertex3f", {stored[0], stored[1], stored[2]}})) << "vertex " << i;
    }
    EXPECT_EQ(glRecorder::count("glPushMatrix"), 1);
    EXPECT_EQ(glRecorder::names().back(), "glPopMatrix");
}

}  // namespace
