#include "render/BitmapFont.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "assets/Assets.h"
#include "base/Failure.h"
#include "tests/support/GlRecorder.h"

namespace {

const std::uint8_t fontPixels[16] = {};

// One drawn glyph: texture corners and vertex corners as recorded.
struct Quad {
    double s0, t0, s1, t1;
    double left, top, right, bottom;
};

// Reads the quads of the one glyph batch, checking that each is emitted as an
// axis-aligned rectangle in the order top-left, top-right, bottom-right, bottom-left.
std::vector<Quad> recordedQuads() {
    std::vector<GlCall> corners;
    for (const GlCall& call : glRecorder::calls()) {
        if (call.name == "glTexCoord2f" || call.name == "glVertex3f") corners.push_back(call);
    }
    EXPECT_EQ(corners.size() % 8, 0u);
    std::vector<Quad> quads;
    for (size_t i = 0; i + 8 <= corners.size(); i += 8) {
        const GlCall* c = &corners[i];
        for (size_t k = 0; k < 8; k += 2) {
            EXPECT_EQ(c[k].name, "glTexCoord2f");
            EXPECT_EQ(c[k + 1].name, "glVertex3f");
        }
        const Quad quad = {c[0].args[0], c[0].args[1], c[4].args[0], c[4].args[1],
                           c[1].args[0], c[1].args[1], c[5].args[0], c[5].args[1]};
        EXPECT_EQ(c[1].args[2], 0.0);
        EXPECT_EQ(c[2].args, (std::vector<double>{quad.s1, quad.t0}));
        EXPECT_EQ(c[3].args, (std::vector<double>{quad.right, quad.top, 0.0}));
        EXPECT_EQ(c[5].args[2], 0.0);
        EXPECT_EQ(c[6].args, (std::vector<double>{quad.s0, quad.t1}));
        EXPECT_EQ(c[7].args, (std::vector<double>{quad.left, quad.bottom, 0.0}));
        quads.push_back(quad);
    }
    return quads;
}

class BitmapFontTest : public ::testing::Test {
protected:
    void SetUp() override { glRecorder::reset(); }

    BitmapFont font{256, fontPixels, glyphTable.records};
};

TEST_F(BitmapFontTest, ConstructionUploadsTheFontImage) {
    glRecorder::reset();
    const BitmapFont another(256, fontPixels, glyphTable.records);
    EXPECT_EQ(glRecorder::count("glGenTextures"), 1);
    const std::vector<GlCall> images = glRecorder::callsNamed("glTexImage2D");
    ASSERT_EQ(images.size(), 1u);
    EXPECT_EQ(images[0].args[3], 256);
    EXPECT_EQ(glRecorder::lastTexImagePixels(), fontPixels);
}

TEST_F(BitmapFontTest, EmptyStringStillSetsUpBindsUnbindsAndRestores) {
    glRecorder::reset();
    font.drawText(0, 0, "");
    const double name = glRecorder::callsNamed("glBindTexture").front().args[1];
    EXPECT_NE(name, 0);
    const std::vector<GlCall> expected = {
        {"glMatrixMode", {GL_PROJECTION}},
        {"glPushMatrix", {}},
        {"glLoadIdentity", {}},
        {"glOrtho", {0, 640, 480, 0, -1, 1}},
        {"glMatrixMode", {GL_MODELVIEW}},
        {"glPushMatrix", {}},
        {"glLoadIdentity", {}},
        {"glBindTexture", {GL_TEXTURE_2D, name}},
        {"glBegin", {GL_QUADS}},
        {"glEnd", {}},
        {"glBindTexture", {GL_TEXTURE_2D, 0}},
        {"glPopMatrix", {}},
        {"glMatrixMode", {GL_PROJECTION}},
        {"glPopMatrix", {}},
        {"glMatrixMode", {GL_MODELVIEW}},
    };
    EXPECT_EQ(glRecorder::calls(), expected);
}

TEST_F(BitmapFontTest, DrawsAllGlyphsInOneBatchBetweenBindAndUnbind) {
    glRecorder::reset();
    font.drawText(0, 0, "ab\ncd");
    const std::vector<std::string> names = glRecorder::names();
    const auto begin = std::find(names.begin(), names.end(), "glBegin");
    const auto end = std::find(names.begin(), names.end(), "glEnd");
    ASSERT_NE(begin, names.end());
    EXPECT_EQ(std::count(names.begin(), names.end(), "glBegin"), 1);
    EXPECT_EQ(*(begin - 1), "glBindTexture");
    EXPECT_EQ(*(end + 1), "glBindTexture");
    EXPECT_EQ(std::count(begin, end, "glVertex3f"), 16);
}

TEST_F(BitmapFontTest, LetterAIsOneQuadWithItsImageRectangle) {
    font.drawText(10, 20, "a");
    const std::vector<Quad> quads = recordedQuads();
    ASSERT_EQ(quads.size(), 1u);
    EXPECT_EQ(quads[0].left, 10);
    EXPECT_EQ(quads[0].top, 20);
    EXPECT_EQ(quads[0].right, 25);
    EXPECT_EQ(quads[0].bottom, 50);
    EXPECT_EQ(quads[0].s0, 0.0);
    EXPECT_EQ(quads[0].t0, 5.0 / 256);
    EXPECT_EQ(quads[0].s1, 15.0 / 256);
    EXPECT_EQ(quads[0].t1, 35.0 / 256);
}

TEST_F(BitmapFontTest, LineFeedsMoveDownByTheTallestGlyphPlusFour) {
    font.drawText(7, 20, "ag\na");
    std::vector<Quad> quads = recordedQuads();
    ASSERT_EQ(quads.size(), 3u);
    EXPECT_EQ(quads[1].left, 7 + 15) << "the pen advances by the width of a";
    EXPECT_EQ(quads[2].left, 7) << "a line feed returns to the line start";
    EXPECT_EQ(quads[2].top, 20 + 35 + 4) << "g is 35 high";

    glRecorder::reset();
    font.drawText(7, 20, "a\n\na");
    quads = recordedQuads();
    ASSERT_EQ(quads.size(), 2u);
    EXPECT_EQ(quads[1].top, 20 + 30 + 4 + 4) << "the second line feed adds only the gap";
}

TEST_F(BitmapFontTest, UnknownCharactersDrawTheQuestionMarkAndAdvanceThirteen) {
    font.drawText(0, 0, "$-a");
    const std::vector<Quad> quads = recordedQuads();
    ASSERT_EQ(quads.size(), 3u);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(quads[i].s0, 105.0 / 256);
        EXPECT_EQ(quads[i].t0, 185.0 / 256);
        EXPECT_EQ(quads[i].right - quads[i].left, 13);
    }
    EXPECT_EQ(quads[2].left, 26);
}

TEST_F(BitmapFontTest, SpaceDrawsItsQuadAndAdvancesSixteen) {
    font.drawText(0, 0, " a");
    const std::vector<Quad> quads = recordedQuads();
    ASSERT_EQ(quads.size(), 2u);
    EXPECT_EQ(quads[0].s0, 176.0 / 256);
    EXPECT_EQ(quads[1].left, 16);
}

TEST_F(BitmapFontTest, CharactersAbove127AreFoundByTheirLatin1Codes) {
    // æ ø å Æ Ø Å ¤ and the image columns of their glyphs.
    font.drawText(0, 0, "\xe6\xf8\xe5\xc6\xd8\xc5\xa4");
    const std::vector<Quad> quads = recordedQuads();
    const std::vector<double> columns = {142, 164, 181, 231, 0, 24, 237};
    ASSERT_EQ(quads.size(), columns.size());
    for (size_t i = 0; i < columns.size(); ++i) {
        EXPECT_EQ(quads[i].s0, columns[i] / 256) << "character " << i;
    }
}

TEST_F(BitmapFontTest, PenPositionsKeepTheirSign) {
    font.drawText(-20, -40, "a");
    const std::vector<Quad> quads = recordedQuads();
    ASSERT_EQ(quads.size(), 1u);
    EXPECT_EQ(quads[0].left, -20);
    EXPECT_EQ(quads[0].top, -40);
    EXPECT_EQ(quads[0].right, -5);
    EXPECT_EQ(quads[0].bottom, -10);
}

TEST(BitmapFontTable, ReadsUpToTheEndByteAndKeepsTheLastRectangleOfARepeat) {
    const std::uint8_t table[] = {'a', 1, 2, 3, 4, 'a', 8, 16, 5, 6, 0, 'b', 1, 1, 1, 1};
    const BitmapFont font(16, fontPixels, table);
    glRecorder::reset();
    font.drawText(0, 0, "ab");
    const std::vector<Quad> quads = recordedQuads();
    ASSERT_EQ(quads.size(), 1u) << "b lies after the end byte and there is no question mark";
    EXPECT_EQ(quads[0].s0, 8.0 / 256);
    EXPECT_EQ(quads[0].t0, 16.0 / 256);
    EXPECT_EQ(quads[0].right, 5);
    EXPECT_EQ(quads[0].bottom, 6);
}

TEST(BitmapFontTable, WithoutQuestionMarkAnUnknownCharacterNeitherDrawsNorMovesThePen) {
    const std::uint8_t table[] = {'a', 0, 0, 10, 20, 0};
    const BitmapFont font(16, fontPixels, table);
    glRecorder::reset();
    font.drawText(5, 0, "$a\xff" "a");
    const std::vector<Quad> quads = recordedQuads();
    ASSERT_EQ(quads.size(), 2u);
    EXPECT_EQ(quads[0].left, 5);
    EXPECT_EQ(quads[1].left, 15);
    EXPECT_EQ(glRecorder::count("glPopMatrix"), 2);
}

TEST(BitmapFontLifetime, DestroyingTheFontDeletesItsTexture) {
    glRecorder::reset();
    double name = 0;
    {
        const BitmapFont font(256, fontPixels, glyphTable.records);
        name = glRecorder::callsNamed("glGenTextures").back().args[1];
    }
    const std::vector<GlCall> deleted = glRecorder::callsNamed("glDeleteTextures");
    ASSERT_EQ(deleted.size(), 1u);
    EXPECT_EQ(deleted[0].args[1], name);
}

}  // namespace
