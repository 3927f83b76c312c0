#include "scenes/SpriteScene.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include "tests/scenes/SceneCalls.h"

namespace {

class SpriteSceneTest : public ::testing::Test {
protected:
    void SetUp() override { glRecorder::reset(); }
};

TEST(SpriteSceneTiming, TheBackgroundFadesInHoldsAndFadesOut) {
    EXPECT_EQ(backgroundFade(0), 0.0f);
    EXPECT_EQ(backgroundFade(250), 0.5f);
    EXPECT_FLOAT_EQ(backgroundFade(499), 0.998f);
    EXPECT_EQ(backgroundFade(500), 1.0f);
    EXPECT_EQ(backgroundFade(1000), 1.0f);
    EXPECT_EQ(backgroundFade(1250), 0.5f);
    EXPECT_EQ(backgroundFade(1500), 0.0f);
    EXPECT_LT(backgroundFade(1501), 0.0f);
    EXPECT_LT(backgroundFade(9299), -15.0f);  // the second run: black
}

TEST(SpriteSceneTiming, TheLogoTurnsAWholeDegreeEvery40Ms) {
    EXPECT_EQ(logoAngle(0), 320.0f);
    EXPECT_EQ(logoAngle(39), 320.0f);
    EXPECT_EQ(logoAngle(40), 321.0f);
    EXPECT_EQ(logoAngle(1500), 357.0f);
}

TEST_F(SpriteSceneTest, UploadsTheSheetOnceForTheWholeRun) {
    {
        SpriteScene scene;
        EXPECT_EQ(glRecorder::count("glGenTextures"), 1);
        EXPECT_EQ(glRecorder::count("glTexImage2D"), 1);
        scene.start();
        scene.stop();
        scene.start();
        EXPECT_EQ(glRecorder::count("glGenTextures"), 1);
        EXPECT_EQ(glRecorder::count("glDeleteTextures"), 0);
    }
    EXPECT_EQ(glRecorder::count("glDeleteTextures"), 1);  // once, though released twice
}

TEST_F(SpriteSceneTest, StartSetsAFlatBlendedViewOverWhiteAndStopLeavesBlack) {
    SpriteScene scene;
    glRecorder::reset();
    scene.start();
    const std::vector<GlCall> expected = {
        {"glMatrixMode", {GL_PROJECTION}},
        {"glLoadIdentity", {}},
        {"glOrtho", {0, 1024, 768, 0, -1000, 1000}},
        {"glMatrixMode", {GL_MODELVIEW}},
        {"glEnable", {GL_TEXTURE_2D}},
        {"glEnable", {GL_BLEND}},
        {"glBlendFunc", {GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA}},
        {"glDisable", {GL_DEPTH_TEST}},
        {"glClearColor", {1, 1, 1, 1}},
    };
    EXPECT_EQ(glRecorder::calls(), expected);

    glRecorder::reset();
    scene.stop();
    EXPECT_EQ(glRecorder::calls(), (std::vector<GlCall>{{"glClearColor", {0, 0, 0, 1}}}));
}

TEST_F(SpriteSceneTest, AFrameDrawsTwelveStripsThenTheSpinningLogo) {
    SpriteScene scene;
    scene.start();
    glRecorder::reset();
    scene.render(16, 10700 + 1000);

    std::vector<std::string> expected = {"glClearColor", "glBindTexture", "glLoadIdentity"};
    for (int strip = 0; strip < 12; ++strip) {
        if (strip != 9 && strip != 10) expected.push_back("glColor4f");  // rows 10 and 11 keep the colour
        for (const char* name : {"glBegin", "vertices:4", "glEnd"}) expected.push_back(name);
    }
    for (const char* name : {"glColor4f", "glTranslatef", "glRotatef", "glRotatef", "glScalef", "glDisable",
                             "glPushMatrix", "glTranslatef", "glRotatef", "glScalef", "glBegin", "vertices:1176",
                             "glEnd", "glPopMatrix", "glEnable"})
        expected.push_back(name);
    EXPECT_EQ(sceneCalls::outline(), expected);

    // At 1000 ms in: white background; piece 1 and its copies at x = 600 .. 550.
    EXPECT_EQ(glRecorder::calls()[0].args, (std::vector<double>{1, 1, 1, 1}));
    const std::vector<std::vector<double>> vertices = sceneCalls::argsOf("glVertex3f");
    std::vector<double> stripX;
    for (int strip = 0; strip < 12; ++strip) stripX.push_back(vertices[size_t(strip) * 4][0]);
    EXPECT_EQ(stripX, (std::vector<double>{600, 590, 580, 570, 560, 550, 400, 500, 800, 760, 815, 500}));
    // piece1 at scale 1.4: 716.8 by 91, from y = 515.
    EXPECT_NEAR(vertices[2][0], 600 + 716.8, 1e-3);
    EXPECT_NEAR(vertices[2][1], 515 + 91, 1e-3);
    // The trailing copies fade: alphas of the colour calls in order.
    std::vector<double> alphas;
    for (const auto& colour : sceneCalls::argsOf("glColor4f")) alphas.push_back(colour[3]);
    EXPECT_EQ(alphas, (std::vector<double>{1.0, 0.5, double(0.4f), double(0.3f), double(0.2f), double(0.1f),
                                           double(0.2f), 1.0, double(0.8f), 1.0, 0.5}));
    // The logo: centred at (600, 400), tilted 75 degrees, at 345 degrees of spin.
    EXPECT_EQ(glRecorder::callsNamed("glTranslatef")[0].args, (std::vector<double>{600, 400, -5}));
    EXPECT_EQ(glRecorder::callsNamed("glRotatef")[1].args, (std::vector<double>{345, 0, 0, 1}));
    EXPECT_EQ(glRecorder::callsNamed("glScalef")[0].args, (std::vector<double>{35, 35, 35}));
}

TEST_F(SpriteSceneTest, TheSecondRunShowsOnlyTheLogoOverBlack) {
    SpriteScene scene;
    scene.start();
    glRecorder::reset();
    scene.render(16, 20000);  // 9300 ms in
    EXPECT_EQ(glRecorder::calls()[0].args[0], double(backgroundFade(9300)));
    EXPECT_LT(glRecorder::calls()[0].args[0], 0.0);
    // Every strip starts beyond the right edge of the 1024-wide screen.
    const std::vector<std::vector<double>> vertices = sceneCalls::argsOf("glVertex3f");
    for (int strip = 0; strip < 12; ++strip) EXPECT_GT(vertices[size_t(strip) * 4][0], 1024.0);
}

}  // namespace
