// Draws sprites with real OpenGL (Mesa under a virtual X server) and reads the
// frame buffer back to check what landed where.
#include <GL/gl.h>
#include <SDL.h>
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "render/BitmapFont.h"
#include "render/Sprite.h"
#include "render/Texture.h"

namespace {

constexpr int windowSize = 64;

struct Colour {
    int r, g, b;
};

constexpr Colour black = {0, 0, 0};
constexpr Colour red = {255, 0, 0};
constexpr Colour green = {0, 255, 0};
constexpr Colour blue = {0, 0, 255};
constexpr Colour white = {255, 255, 255};

std::ostream& operator<<(std::ostream& out, const Colour& colour) {
    return out << '(' << colour.r << ", " << colour.g << ", " << colour.b << ')';
}

bool closeTo(const Colour& a, const Colour& b) {
    return std::abs(a.r - b.r) <= 2 && std::abs(a.g - b.g) <= 2 && std::abs(a.b - b.b) <= 2;
}

// A 4 by 4 opaque image in four 2 by 2 quarters: red top left, green top
// right, blue bottom left, white bottom right (row 0 is the top).
std::array<std::uint8_t, 4 * 4 * 4> quarterImage() {
    std::array<std::uint8_t, 4 * 4 * 4> pixels{};
    for (int row = 0; row < 4; ++row) {
        for (int column = 0; column < 4; ++column) {
            const bool bottom = row >= 2;
            const bool right = column >= 2;
            const Colour colour = bottom ? (right ? white : blue) : (right ? green : red);
            std::uint8_t* pixel = &pixels[(row * 4 + column) * 4];
            pixel[0] = static_cast<std::uint8_t>(colour.r);
            pixel[1] = static_cast<std::uint8_t>(colour.g);
            pixel[2] = static_cast<std::uint8_t>(colour.b);
            pixel[3] = 255;
        }
    }
    return pixels;
}

std::array<std::uint8_t, 4 * 4 * 4> plainImage(const Colour& colour) {
    std::array<std::uint8_t, 4 * 4 * 4> pixels{};
    for (size_t i = 0; i < pixels.size(); i += 4) {
        pixels[i] = static_cast<std::uint8_t>(colour.r);
        pixels[i + 1] = static_cast<std::uint8_t>(colour.g);
        pixels[i + 2] = static_cast<std::uint8_t>(colour.b);
        pixels[i + 3] = 255;
    }
    return pixels;
}

class RealRender : public ::testing::Test {
protected:
    // A window-sized orthographic view with y pointing down, as the flat scenes use.
    void SetUp() override {
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(0, windowSize, windowSize, 0, -1, 1);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glDisable(GL_BLEND);
        glEnable(GL_TEXTURE_2D);
        glColor4f(1, 1, 1, 1);
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT);
    }

    void TearDown() override { EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR)); }

    // The colour at column x, row y counted from the top of the window.
    static Colour pixelAt(int x, int y) {
        std::uint8_t rgba[4] = {};
        glReadPixels(x, windowSize - 1 - y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
        return {rgba[0], rgba[1], rgba[2]};
    }
};

TEST_F(RealRender, FreshlyUploadedTextureLandsUprightWhereTheSpriteIs) {
    const auto pixels = quarterImage();
    Texture texture(4, pixels.data());
    texture.upload();  // stays bound: no bind needed before drawing
    Sprite(0, 0, 1, 1, 32, 32).draw(16, 16, 0, 1);

    // Quarter centres of the 32 by 32 quad at (16, 16).
    EXPECT_PRED2(closeTo, pixelAt(22, 22), red);
    EXPECT_PRED2(closeTo, pixelAt(41, 22), green);
    EXPECT_PRED2(closeTo, pixelAt(22, 41), blue);
    EXPECT_PRED2(closeTo, pixelAt(41, 41), white);
    // Outside the quad the clear colour stays.
    EXPECT_PRED2(closeTo, pixelAt(15, 30), black);
    EXPECT_PRED2(closeTo, pixelAt(30, 15), black);
    EXPECT_PRED2(closeTo, pixelAt(48, 30), black);
    EXPECT_PRED2(closeTo, pixelAt(30, 48), black);
}

TEST_F(RealRender, SwappedWindowAndNegativeScaleMirrorTheImage) {
    const auto pixels = quarterImage();
    Texture texture(4, pixels.data());
    texture.upload();

    // s0 > s1: left and right swap.
    Sprite(1, 0, 0, 1, 16, 16).draw(0, 0, 0, 1);
    EXPECT_PRED2(closeTo, pixelAt(5, 5), green);
    EXPECT_PRED2(closeTo, pixelAt(10, 5), red);

    // Scale -1 puts the quad up and to the left of (48, 48), texture (0, 0) at that corner.
    Sprite(0, 0, 1, 1, 16, 16).draw(48, 48, 0, -1);
    EXPECT_PRED2(closeTo, pixelAt(42, 42), red);
    EXPECT_PRED2(closeTo, pixelAt(37, 42), green);
    EXPECT_PRED2(closeTo, pixelAt(42, 37), blue);
    EXPECT_PRED2(closeTo, pixelAt(37, 37), white);
    EXPECT_PRED2(closeTo, pixelAt(50, 50), black);

    // Scale 0 draws nothing.
    Sprite(0, 0, 1, 1, 16, 16).draw(56, 8, 0, 0);
    EXPECT_PRED2(closeTo, pixelAt(56, 8), black);
}

TEST_F(RealRender, BindChoosesTheTextureAndReleaseThenUploadWorksAgain) {
    const auto redPixels = plainImage(red);
    const auto bluePixels = plainImage(blue);
    Texture redTexture(4, redPixels.data());
    Texture blueTexture(4, bluePixels.data());
    redTexture.upload();
    blueTexture.upload();

    redTexture.bind();
    Sprite(0, 0, 1, 1, 16, 16).draw(0, 0, 0, 1);
    blueTexture.bind();
    Sprite(0, 0, 1, 1, 16, 16).draw(16, 0, 0, 1);
    EXPECT_PRED2(closeTo, pixelAt(8, 8), red);
    EXPECT_PRED2(closeTo, pixelAt(24, 8), blue);

    redTexture.release();
    redTexture.upload();
    redTexture.bind();
    Sprite(0, 0, 1, 1, 16, 16).draw(32, 0, 0, 1);
    EXPECT_PRED2(closeTo, pixelAt(40, 8), red);
}

TEST_F(RealRender, TextLandsOnTheVirtualScreenAndLeavesMatricesAndBindingAsFound) {
    // A 256 by 256 font image whose top-left 64 by 64 texels are opaque red,
    // and one glyph covering exactly them.
    static std::array<std::uint8_t, 256 * 256 * 4> image{};
    for (int row = 0; row < 64; ++row) {
        for (int column = 0; column < 64; ++column) {
            std::uint8_t* pixel = &image[(row * 256 + column) * 4];
            pixel[0] = 255;
            pixel[3] = 255;
        }
    }
    const std::uint8_t table[] = {'A', 0, 0, 64, 64, 0};
    const BitmapFont font(256, image.data(), table);

    GLfloat projectionBefore[16];
    GLfloat modelViewBefore[16];
    glGetFloatv(GL_PROJECTION_MATRIX, projectionBefore);
    glGetFloatv(GL_MODELVIEW_MATRIX, modelViewBefore);

    // The 640 by 480 virtual screen spans the window: (320, 240) is its centre,
    // and the glyph covers 6.4 by 8.5 pixels from there.
    font.drawText(320, 240, "A");
    EXPECT_PRED2(closeTo, pixelAt(34, 35), red);
    EXPECT_PRED2(closeTo, pixelAt(30, 35), black);
    EXPECT_PRED2(closeTo, pixelAt(34, 30), black);
    EXPECT_PRED2(closeTo, pixelAt(40, 35), black);

    GLfloat projectionAfter[16];
    GLfloat modelViewAfter[16];
    glGetFloatv(GL_PROJECTION_MATRIX, projectionAfter);
    glGetFloatv(GL_MODELVIEW_MATRIX, modelViewAfter);
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(projectionAfter[i], projectionBefore[i]) << i;
        EXPECT_EQ(modelViewAfter[i], modelViewBefore[i]) << i;
    }
    GLint matrixMode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &matrixMode);
    EXPECT_EQ(matrixMode, GL_MODELVIEW);
    GLint boundTexture = -1;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &boundTexture);
    EXPECT_EQ(boundTexture, 0);
}

}  // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        std::fprintf(stderr, "No display: %s\n", SDL_GetError());
        return 1;
    }
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    if (SDL_SetVideoMode(windowSize, windowSize, 0, SDL_OPENGL) == nullptr) {
        std::fprintf(stderr, "No OpenGL window: %s\n", SDL_GetError());
        SDL_Quit();
        return 1;
    }
    std::printf("OpenGL renderer: %s\n", reinterpret_cast<const char*>(glGetString(GL_RENDERER)));
    const int result = RUN_ALL_TESTS();
    SDL_Quit();
    return result;
}
