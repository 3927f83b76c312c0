#include "scenes/ObjectScene.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include "tests/scenes/SceneCalls.h"

namespace {

class ObjectSceneTest : public ::testing::Test {
protected:
    void SetUp() override { glRecorder::reset(); }
};

TEST(ObjectSceneTiming, TheSpinIsContinuousOverTheEntry) {
    EXPECT_EQ(spinAngle(31410), 80.25f);
    EXPECT_EQ(spinAngle(41000), 320.0f);
    EXPECT_EQ(spinAngle(41040), 321.0f);
    EXPECT_EQ(spinAngle(72410), 1105.25f);
    EXPECT_EQ(spinAngle(41001), 320.025f);  // not whole degrees
}

TEST_F(ObjectSceneTest, UploadsThePictureAndTheFontAtConstructionAndDeletesBothAtTheEnd) {
    {
        ObjectScene scene;
        EXPECT_EQ(glRecorder::count("glTexImage2D"), 2);
        scene.start();
        scene.stop();
        EXPECT_EQ(glRecorder::count("glDeleteTextures"), 0);
    }
    EXPECT_EQ(glRecorder::count("glDeleteTextures"), 2);
}

TEST_F(ObjectSceneTest, StartSetsAFlatViewBindsThePictureAndMakesWhiteTheClearColour) {
    ObjectScene scene;
    glRecorder::reset();
    scene.start();
    const std::vector<std::string> names = glRecorder::names();
    EXPECT_EQ(names, (std::vector<std::string>{"glMatrixMode", "glLoadIdentity", "glOrtho", "glMatrixMode",
                                               "glEnable", "glEnable", "glBlendFunc", "glDisable", "glColor4f",
                                               "glBindTexture", "glClearColor"}));
    EXPECT_EQ(glRecorder::callsNamed("glOrtho")[0].args, (std::vector<double>{0, 1024, 768, 0, -100, 100}));
    EXPECT_EQ(glRecorder::callsNamed("glColor4f")[0].args, (std::vector<double>{1, 1, 1, double(0.8f)}));
    EXPECT_EQ(glRecorder::callsNamed("glClearColor")[0].args, (std::vector<double>{1, 1, 1, 1}));

    glRecorder::reset();
    scene.stop();
    EXPECT_TRUE(glRecorder::calls().empty());
}

TEST_F(ObjectSceneTest, AFrameDrawsThePictureOverTheWholeViewThenTheBlueLogo) {
    ObjectScene scene;
    scene.start();
    glRecorder::reset();
    scene.render(16, 41040);

    const std::vector<std::string> expected = {
        "glLoadIdentity", "glColor4f", "glBindTexture", "glBegin", "vertices:4", "glEnd",
        "glColor4f", "glTranslatef", "glRotatef", "glRotatef", "glScalef", "glDisable",
        "glPushMatrix", "glTranslatef", "glRotatef", "glScalef", "glBegin", "vertices:1176", "glEnd",
        "glPopMatrix", "glEnable"};
    EXPECT_EQ(sceneCalls::outline(), expected);

    const std::vector<std::vector<double>> vertices = sceneCalls::argsOf("glVertex3f");
    EXPECT_EQ(vertices[0], (std::vector<double>{0, 0, 10}));
    EXPECT_EQ(vertices[2], (std::vector<double>{1024, 768, 10}));
    EXPECT_EQ(glRecorder::callsNamed("glColor4f")[1].args,
              (std::vector<double>{double(0.2f), double(0.3f), double(0.7f), 0.5}));
    EXPECT_EQ(glRecorder::callsNamed("glTranslatef")[0].args, (std::vector<double>{820, 650, -5}));
    EXPECT_EQ(glRecorder::callsNamed("glRotatef")[0].args, (std::vector<double>{75, 1, 0, 0}));
    EXPECT_EQ(glRecorder::callsNamed("glRotatef")[1].args, (std::vector<double>{321, 0, 0, 1}));
    EXPECT_EQ(glRecorder::callsNamed("glScalef")[0].args, (std::vector<double>{15, 15, 15}));
}

TEST_F(ObjectSceneTest, TheFrameDependsOnlyOnThePosition) {
    ObjectScene scene;
    glRecorder::reset();
    scene.render(1, 50000);
    const std::vector<GlCall> first = glRecorder::calls();
    glRecorder::reset();
    scene.render(500, 50000);
    EXPECT_EQ(glRecorder::calls(), first);
}

}  // namespace
