#include "scenes/GridScene.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include "tests/scenes/SceneCalls.h"

namespace {

class GridSceneTest : public ::testing::Test {
protected:
    void SetUp() override { glRecorder::reset(); }
};

TEST_F(GridSceneTest, StartSetsASquareViewWithAdditiveBlending) {
    GridScene scene;
    EXPECT_TRUE(glRecorder::calls().empty());
    scene.start();
    const std::vector<GlCall> setUp = sceneCalls::only({"glMatrixMode", "glOrtho", "glEnable", "glBlendFunc"});
    const std::vector<GlCall> expected = {
        {"glMatrixMode", {GL_PROJECTION}},
        {"glOrtho", {-30, 30, 30, -30, 20, -20}},
        {"glMatrixMode", {GL_MODELVIEW}},
        {"glEnable", {GL_DEPTH_TEST}},
        {"glEnable", {GL_TEXTURE_2D}},
        {"glEnable", {GL_BLEND}},
        {"glBlendFunc", {GL_SRC_ALPHA, GL_ONE}},
    };
    EXPECT_EQ(setUp, expected);
    EXPECT_EQ(glRecorder::count("glTexImage2D"), 1);
    EXPECT_EQ(glRecorder::names().back(), "glBindTexture");
}

TEST_F(GridSceneTest, EveryFrameIsOneEmptyBatchInWhiteWhateverTheTime) {
    GridScene scene;
    scene.start();
    for (std::uint32_t time : {92299u, 100000u, 123569u}) {
        glRecorder::reset();
        scene.render(time % 17, time);
        const std::vector<GlCall> expected = {
            {"glLoadIdentity", {}}, {"glColor3f", {1, 1, 1}}, {"glBegin", {GL_TRIANGLES}}, {"glEnd", {}}};
        EXPECT_EQ(glRecorder::calls(), expected) << time;
    }
}

TEST_F(GridSceneTest, EachStartUploadsAFreshTextureAndNothingIsDeletedTwice) {
    {
        GridScene scene;
        scene.start();
        scene.stop();
        EXPECT_EQ(glRecorder::count("glDeleteTextures"), 1);
        scene.start();  // as if the viewer quits during the scene: the destructor releases
        EXPECT_EQ(glRecorder::count("glGenTextures"), 2);
    }
    const std::vector<std::vector<double>> deleted = sceneCalls::argsOf("glDeleteTextures");
    ASSERT_EQ(deleted.size(), 2u);
    EXPECT_NE(deleted[0][1], deleted[1][1]);
}

}  // namespace
