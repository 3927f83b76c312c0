#include "web/ImmediateGl.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "render/Sprite.h"
#include "scenes/ParticleScene.h"
#include "tests/web/unit/WebGlRecorder.h"
#include "web/GlFunctions.h"

using webGlRecorder::calls;
using webGlRecorder::draws;
using webGlRecorder::DrawnVertex;

namespace {

// The page's context, opened once and back in OpenGL's initial state (as far
// as the scenes set it) before each test.
class PageGl : public ::testing::Test {
protected:
    void SetUp() override {
        static const std::string opened = pageGl().open();
        ASSERT_EQ(opened, "");
        glFlush();
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glDisable(GL_TEXTURE_2D);
        glDisable(GL_BLEND);
        glDisable(GL_DEPTH_TEST);
        glBlendFunc(GL_ONE, GL_ZERO);
        glBindTexture(GL_TEXTURE_2D, 0);
        glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
        webGlRecorder::reset();
    }
    void TearDown() override { glFlush(); }
};

// A unit square at (x, y) as the toolkit's sprite draws it.
void square(float x, float y) { Sprite(0.0f, 0.0f, 1.0f, 1.0f, 1.0f, 1.0f).draw(x, y, 0.0f, 1.0f); }

std::vector<std::string> drawsAround(const std::string& call) { return {"drawElements", call, "drawElements"}; }

}  // namespace

TEST_F(PageGl, AFrameOfTheParticleCloudIsOneDrawOfEverySprite) {
    const std::uint32_t count = 1000;
    ParticleScene cloud(count, 10.0f);
    cloud.start();
    webGlRecorder::reset();
    cloud.draw(0, 5000);
    glFlush();
    ASSERT_EQ(calls(), std::vector<std::string>{"drawElements"});
    EXPECT_EQ(draws()[0].vertices.size(), count * 6);
    EXPECT_EQ(draws()[0].uploaded, count * 4);
    EXPECT_TRUE(draws()[0].textured);
    cloud.stop();
}

TEST_F(PageGl, EveryChangeOfHowThingsAreDrawnDrawsWhatCameBefore) {
    const GLuint texture = 5;
    const struct {
        const char* what;
        void (*change)();
        std::vector<std::string> expected;
    } changes[] = {
        {"texturing on", [] { glEnable(GL_TEXTURE_2D); }, {"drawElements", "drawElements"}},
        {"blending on", [] { glEnable(GL_BLEND); }, drawsAround("enable 3042")},
        {"depth test on", [] { glEnable(GL_DEPTH_TEST); }, drawsAround("enable 2929")},
        {"blend factors", [] { glBlendFunc(GL_SRC_ALPHA, GL_ONE); }, drawsAround("blendFunc 770 1")},
        {"texture bound", [] { glBindTexture(GL_TEXTURE_2D, texture); }, drawsAround("bindTexture 5")},
        {"image", [] { glTexImage2D(GL_TEXTURE_2D, 0, 4, 1, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr); },
         drawsAround("texImage2D 6408")},
        {"filter", [] { glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR); }, drawsAround("texParameteri 10241")},
        {"clear", [] { glClear(GL_COLOR_BUFFER_BIT); }, drawsAround("clear 16384")},
        {"finish", [] { glFinish(); }, drawsAround("finish")},
    };
    for (const auto& change : changes) {
        SetUp();
        square(0, 0);
        change.change();
        square(1, 0);
        glFlush();
        EXPECT_EQ(calls(), change.expected) << change.what;
    }

    // Off again, each after a square drawn in its on state.
    for (const GLenum capability : {GL_TEXTURE_2D, GL_BLEND, GL_DEPTH_TEST}) {
        SetUp();
        glEnable(capability);
        webGlRecorder::reset();
        square(0, 0);
        glDisable(capability);
        EXPECT_EQ(calls().at(0), "drawElements") << capability;
    }

    // Deleting the bound texture draws first, and leaves texture 0 bound: a
    // texture enabled with no image draws untextured, as in OpenGL.
    SetUp();
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, texture);
    square(0, 0);
    glDeleteTextures(1, &texture);
    square(1, 0);
    glFlush();
    ASSERT_EQ(draws().size(), 2u);
    EXPECT_TRUE(draws()[0].textured);
    EXPECT_FALSE(draws()[1].textured);
}

TEST_F(PageGl, WhatDoesNotChangeHowThingsAreDrawnKeepsOneBatch) {
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glBindTexture(GL_TEXTURE_2D, 3);
    webGlRecorder::reset();
    square(0, 0);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glBindTexture(GL_TEXTURE_2D, 3);
    glColor4f(0.5f, 0.5f, 0.5f, 0.5f);
    glPushMatrix();
    glTranslatef(2.0f, 0.0f, 0.0f);
    square(0, 0);
    glPopMatrix();
    glFlush();
    EXPECT_EQ(calls(), std::vector<std::string>{"drawElements"});
}

TEST_F(PageGl, ABatchBeyondWhatSixteenBitIndicesReachIsDrawnInWholeQuads) {
    const int quads = 16385;  // one quad more than 65536 vertices hold
    for (int i = 0; i < quads; ++i) square(static_cast<float>(i), 0);
    glFlush();
    ASSERT_EQ(draws().size(), 2u);
    EXPECT_EQ(draws()[0].uploaded, 65536u);
    EXPECT_EQ(draws()[0].vertices.size() + draws()[1].vertices.size(), 6u * quads);
    EXPECT_FLOAT_EQ(draws()[1].vertices[0].x, static_cast<float>(quads - 1));
}

TEST_F(PageGl, EveryVertexIsDrawnInOrderWhereItsMatricesPutIt) {
    glColor3f(1.0f, 0.0f, 0.0f);
    square(0, 0);
    glPushMatrix();
    glTranslatef(10.0f, 20.0f, 0.0f);
    glColor4f(0.0f, 1.0f, 0.0f, 0.5f);
    square(1, 0);
    glPopMatrix();
    glColor4f(2.0f, -1.0f, 0.0f, 1.0f);  // clamped, as OpenGL clamps colours
    square(0, 1);
    glFlush();

    ASSERT_EQ(draws().size(), 1u);
    const std::vector<DrawnVertex>& drawn = draws()[0].vertices;
    ASSERT_EQ(drawn.size(), 18u);
    // Each square's corners (0, 1, 2) and (0, 2, 3), counter-clockwise from
    // its corner (x, y).
    const float cornerX[] = {0, 1, 1, 0, 1, 0}, cornerY[] = {0, 0, 1, 0, 1, 1};
    const float originX[] = {0, 11, 0}, originY[] = {0, 20, 1};
    const float red[] = {1, 0, 1}, green[] = {0, 1, 0}, alpha[] = {1, 0.5f, 1};
    for (std::size_t i = 0; i < drawn.size(); ++i) {
        const std::size_t quad = i / 6, corner = i % 6;
        EXPECT_FLOAT_EQ(drawn[i].x, originX[quad] + cornerX[corner]) << i;
        EXPECT_FLOAT_EQ(drawn[i].y, originY[quad] + cornerY[corner]) << i;
        EXPECT_FLOAT_EQ(drawn[i].w, 1.0f) << i;
        EXPECT_FLOAT_EQ(drawn[i].s, cornerX[corner]) << i;
        EXPECT_FLOAT_EQ(drawn[i].red, red[quad]) << i;
        EXPECT_FLOAT_EQ(drawn[i].green, green[quad]) << i;
        EXPECT_FLOAT_EQ(drawn[i].alpha, alpha[quad]) << i;
    }
}

TEST_F(PageGl, TrianglesAreDrawnAsGivenAndAnUnfinishedPrimitiveIsDropped) {
    glBegin(GL_TRIANGLES);
    glVertex3f(1, 2, 3);
    glVertex3f(4, 5, 6);
    glVertex3f(7, 8, 9);
    glVertex3f(10, 11, 12);  // no triangle
    glEnd();
    glBegin(GL_QUADS);
    glVertex3f(0, 0, 0);  // no quad
    glEnd();
    glFlush();
    ASSERT_EQ(draws().size(), 1u);
    ASSERT_EQ(draws()[0].vertices.size(), 3u);
    EXPECT_FLOAT_EQ(draws()[0].vertices[2].z, 9.0f);
}

TEST_F(PageGl, TheProjectionsAndRotationsAreOpenGls) {
    // glFrustum: the near plane's corners at the edges of clip space, w the
    // distance in front of the eye.
    glMatrixMode(GL_PROJECTION);
    glFrustum(-0.3, 0.3, -0.3, 0.3, 0.1, 20.0);
    glMatrixMode(GL_MODELVIEW);
    glBegin(GL_TRIANGLES);
    glVertex3f(0.3f, -0.3f, -0.1f);
    glVertex3f(0.0f, 0.0f, -20.0f);
    // glRotatef: a quarter turn about z takes x to y; glScalef, glTranslatef
    // and glOrtho apply in the order called, the last first.
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0.0, 1024.0, 768.0, 0.0, -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    glTranslatef(512.0f, 384.0f, 0.0f);
    glRotatef(90.0f, 0.0f, 0.0f, 1.0f);
    glScalef(512.0f, 1.0f, 1.0f);
    glVertex3f(1.0f, 0.0f, 0.5f);
    glEnd();
    glFlush();

    ASSERT_EQ(draws().size(), 1u);
    const std::vector<DrawnVertex>& drawn = draws()[0].vertices;
    EXPECT_NEAR(drawn[0].x / drawn[0].w, 1.0f, 1e-5);
    EXPECT_NEAR(drawn[0].y / drawn[0].w, -1.0f, 1e-5);
    EXPECT_NEAR(drawn[0].z / drawn[0].w, -1.0f, 1e-5);
    EXPECT_NEAR(drawn[0].w, 0.1f, 1e-6);
    EXPECT_NEAR(drawn[1].z / drawn[1].w, 1.0f, 1e-5);
    // (1, 0) scaled to (512, 0), turned to (0, 512), moved to (512, 896):
    // below the bottom edge by a sixth of the height.
    EXPECT_NEAR(drawn[2].x, 0.0f, 1e-5);
    EXPECT_NEAR(drawn[2].y, -1.0f - 2.0f * 128.0f / 768.0f, 1e-5);
    EXPECT_NEAR(drawn[2].z, -0.5f, 1e-6);
}
