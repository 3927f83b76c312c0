#include "scenes/TunnelScene.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cmath>

#include "tests/scenes/SceneCalls.h"

namespace {

class TunnelSceneTest : public ::testing::Test {
protected:
    void SetUp() override { glRecorder::reset(); }
};

TEST_F(TunnelSceneTest, StartSetsAWideSquareViewAndBindsAFreshTexture) {
    TunnelScene scene;
    EXPECT_TRUE(glRecorder::calls().empty());
    scene.start();
    const std::vector<std::string> expected = {"glEnable", "glMatrixMode", "glLoadIdentity", "glFrustum",
                                               "glMatrixMode", "glLoadIdentity", "glGenTextures", "glBindTexture",
                                               "glTexParameteri", "glTexParameteri", "glTexImage2D", "glBindTexture"};
    EXPECT_EQ(glRecorder::names(), expected);
    EXPECT_EQ(glRecorder::callsNamed("glFrustum")[0].args, (std::vector<double>{-0.3, 0.3, -0.3, 0.3, 0.1, 20.0}));
    glRecorder::reset();
    scene.stop();
    EXPECT_EQ(glRecorder::names(), std::vector<std::string>{"glDeleteTextures"});
}

TEST_F(TunnelSceneTest, DrawsTwentyFacetsEachOneColumnOfTheImage) {
    TunnelScene scene;
    const float scrollBefore = tunnelScroll;
    scene.render(0, 0);
    const float scroll = tunnelScroll;

    EXPECT_EQ(sceneCalls::outline(), (std::vector<std::string>{"glRotatef", "glBegin", "vertices:80", "glEnd"}));
    EXPECT_EQ(glRecorder::calls()[0].args, (std::vector<double>{1.5, 0, 0, 1}));
    EXPECT_EQ(glRecorder::calls()[1].args[0], GL_QUADS);
    EXPECT_FLOAT_EQ(scroll, scrollBefore - 0.005f);

    const std::vector<std::vector<double>> coords = sceneCalls::argsOf("glTexCoord2f");
    const std::vector<std::vector<double>> vertices = sceneCalls::argsOf("glVertex3f");
    const float step = 2 * 3.141592f / 20;
    float s = 0.0f;
    for (size_t facet = 0; facet < 20; ++facet) {
        const size_t first = facet * 4;
        // One column on all four corners; t from the far end to ten repeats nearer.
        for (size_t corner = 0; corner < 4; ++corner) EXPECT_EQ(coords[first + corner][0], double(s)) << facet;
        EXPECT_FLOAT_EQ(float(coords[first][1]), scroll);
        EXPECT_FLOAT_EQ(float(coords[first + 1][1]), 10.0f + scroll);
        // Far, near, near, far; edges at k * step and (k + 1) * step.
        EXPECT_EQ(vertices[first][2], -20);
        EXPECT_EQ(vertices[first + 1][2], 0);
        EXPECT_EQ(vertices[first + 2][2], 0);
        EXPECT_EQ(vertices[first + 3][2], -20);
        EXPECT_NEAR(std::atan2(vertices[first][1], vertices[first][0]),
                    std::remainder(double(facet) * step, 2 * M_PI), 1e-5);
        EXPECT_NEAR(std::atan2(vertices[first + 2][1], vertices[first + 2][0]),
                    std::remainder(double(facet + 1) * step, 2 * M_PI), 1e-5);
        s += 0.05f;
    }
    EXPECT_EQ(coords[3 * 4][0], double(0.15000001f));
    // The last facet's far edge closes the ring, just short of a full turn.
    EXPECT_NEAR(vertices[79][0], 1.0, 1e-6);
    EXPECT_LT(vertices[79][1], 0.0);
}

TEST_F(TunnelSceneTest, TheWallStreamsOnEveryFrameUnderTheSameTilt) {
    TunnelScene scene;
    const float start = tunnelScroll;
    for (int frame = 0; frame < 200; ++frame) scene.render(16, 80000);
    EXPECT_NEAR(tunnelScroll, start - 0.005 * 200, 1e-4);
    const std::vector<std::vector<double>> tilts = sceneCalls::argsOf("glRotatef");
    ASSERT_EQ(tilts.size(), 200u);
    for (const auto& tilt : tilts) EXPECT_EQ(tilt, (std::vector<double>{1.5, 0, 0, 1}));
}

}  // namespace
