#include "render/Texture.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <string>

#include "base/Failure.h"
#include "tests/support/GlRecorder.h"

namespace {

const std::uint8_t pixels[4 * 4 * 4] = {};

std::string bindFailure(const Texture& texture) {
    try {
        texture.bind();
    } catch (const Failure& failure) {
        return failure.what();
    }
    return "no failure";
}

double nameOfLastGeneratedTexture() { return glRecorder::callsNamed("glGenTextures").back().args[1]; }

class TextureTest : public ::testing::Test {
protected:
    void SetUp() override { glRecorder::reset(); }
};

TEST_F(TextureTest, UploadCreatesBindsAndFillsOneLinearTexture) {
    Texture texture(4, pixels);
    EXPECT_TRUE(glRecorder::calls().empty());

    texture.upload();
    const double name = nameOfLastGeneratedTexture();
    EXPECT_NE(name, 0);
    const std::vector<GlCall> expected = {
        {"glGenTextures", {1, name}},
        {"glBindTexture", {GL_TEXTURE_2D, name}},
        {"glTexParameteri", {GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR}},
        {"glTexParameteri", {GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR}},
        {"glTexImage2D", {GL_TEXTURE_2D, 0, 4, 4, 4, 0, GL_RGBA, GL_UNSIGNED_BYTE}},
    };
    EXPECT_EQ(glRecorder::calls(), expected);
    EXPECT_EQ(glRecorder::lastTexImagePixels(), pixels);
}

TEST_F(TextureTest, SecondUploadMakesNoCallAndBindUsesTheFirstName) {
    Texture texture(4, pixels);
    texture.upload();
    const double name = nameOfLastGeneratedTexture();
    glRecorder::reset();

    texture.upload();
    EXPECT_TRUE(glRecorder::calls().empty());

    texture.bind();
    const std::vector<GlCall> expected = {{"glBindTexture", {GL_TEXTURE_2D, name}}};
    EXPECT_EQ(glRecorder::calls(), expected);
}

TEST_F(TextureTest, BindFailsWithoutGlCallUnlessUploaded) {
    Texture never(4, pixels);
    EXPECT_EQ(bindFailure(never), "Texture not loaded!");
    EXPECT_TRUE(glRecorder::calls().empty());

    Texture released(4, pixels);
    released.upload();
    released.release();
    glRecorder::reset();
    EXPECT_EQ(bindFailure(released), "Texture not loaded!");
    EXPECT_TRUE(glRecorder::calls().empty());
}

TEST_F(TextureTest, ReleaseDeletesOnceAndOnlyAnUploadedTexture) {
    {
        Texture never(4, pixels);
        never.release();
    }
    EXPECT_TRUE(glRecorder::calls().empty()) << "neither release nor destruction of a texture never uploaded";

    Texture texture(4, pixels);
    texture.upload();
    const double name = nameOfLastGeneratedTexture();
    glRecorder::reset();
    texture.release();
    texture.release();
    const std::vector<GlCall> expected = {{"glDeleteTextures", {1, name}}};
    EXPECT_EQ(glRecorder::calls(), expected);
}

TEST_F(TextureTest, DestroyingAnUploadedTextureDeletesIt) {
    double name = 0;
    {
        Texture texture(4, pixels);
        texture.upload();
        name = nameOfLastGeneratedTexture();
        glRecorder::reset();
    }
    const std::vector<GlCall> expected = {{"glDeleteTextures", {1, name}}};
    EXPECT_EQ(glRecorder::calls(), expected);
}

TEST_F(TextureTest, UploadAfterReleaseMakesANewWorkingTexture) {
    Texture texture(4, pixels);
    texture.upload();
    const double first = nameOfLastGeneratedTexture();
    texture.release();
    glRecorder::reset();

    texture.upload();
    const double second = nameOfLastGeneratedTexture();
    EXPECT_NE(second, first);
    EXPECT_EQ(glRecorder::count("glTexImage2D"), 1);
    EXPECT_EQ(glRecorder::lastTexImagePixels(), pixels);

    glRecorder::reset();
    texture.bind();
    const std::vector<GlCall> expected = {{"glBindTexture", {GL_TEXTURE_2D, second}}};
    EXPECT_EQ(glRecorder::calls(), expected);
}

TEST_F(TextureTest, UnbindBindsTextureNameZero) {
    unbind();
    const std::vector<GlCall> expected = {{"glBindTexture", {GL_TEXTURE_2D, 0}}};
    EXPECT_EQ(glRecorder::calls(), expected);
}

}  // namespace
