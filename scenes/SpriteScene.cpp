#include "scenes/SpriteScene.h"

#include <GL/gl.h>

#include <optional>

#include "assets/Assets.h"

namespace {

constexpr std::uint32_t sceneStartMs = 10700;

// One strip drawn each frame: its colour's alpha (none keeps the colour of
// the row before), which piece, and where: x = speed * elapsed + offset.
struct StripDraw {
    std::optional<float> alpha;
    int piece;
    double speed;
    double offset;
    float y;
    float scale;
};

constexpr StripDraw strips[] = {
    {1.0f, 1, 0.6, 0, 515, 1.4f},
    {0.5f, 1, 0.6, -10, 515, 1.4f},
    {0.4f, 1, 0.6, -20, 515, 1.4f},
    {0.3f, 1, 0.6, -30, 515, 1.4f},
    {0.2f, 1, 0.6, -40, 515, 1.4f},
    {0.1f, 1, 0.6, -50, 515, 1.4f},
    {0.2f, 2, 0.4, 0, 560, 1.0f},
    {1.0f, 3, 0.5, 0, 595, 0.4f},
    {0.8f, 4, 0.8, 0, 630, 0.2f},
    {std::nullopt, 4, 0.8, -40, 610, 0.3f},
    {std::nullopt, 4, 0.8, 15, 650, 0.5f},
    {1.0f, 5, 0.5, 0, 660, 0.6f},
};

}  // namespace

SpriteScene::SpriteScene()
    : mesh(logoMesh.triangleCount, logoMesh.vertices),
      piece1(0.0f, 0.11328125f, 1.0f, 0.240234375f, 512.0f, 65.0f),
      piece2(0.0f, 0.25f, 1.0f, 0.365234375f, 512.0f, 59.0f),
      piece3(0.0f, 0.36524376f, 1.0f, 0.4921875f, 512.0f, 65.0f),
      piece4(0.0f, 0.494140625f, 1.0f, 0.6328125f, 512.0f, 71.0f),
      piece5(0.0f, 0.6328125f, 1.0f, 0.74680936f, 512.0f, 58.0f),
      sheet(sheetImage.edge, sheetImage.pixels) {
    sheet.upload();  // kept for both runs
}

SpriteScene::~SpriteScene() { sheet.release(); }

void SpriteScene::start() {
    // A 1024 by 768 virtual screen with y pointing down.
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0.0, 1024.0, 768.0, 0.0, -1000.0, 1000.0);
    glMatrixMode(GL_MODELVIEW);

    glEnable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glDisable(GL_DEPTH_TEST);
    glClearColor(1.0f, 1.0f, 1.0f, 1.0f);
}

void SpriteScene::render(std::uint32_t, std::uint32_t timeMs) {
    const std::uint32_t elapsed = timeMs - sceneStartMs;

    // Takes effect at the next frame's clear; GL clamps a negative fade to black.
    const float fade = backgroundFade(elapsed);
    glClearColor(fade, fade, fade, 1.0f);

    sheet.bind();
    glLoadIdentity();  // flat virtual-screen coordinates, no camera
    drawPieces(elapsed);
    drawLogo(elapsed);
}

void SpriteScene::drawPieces(std::uint32_t elapsed) const {
    const Sprite* const pieces[] = {&piece1, &piece2, &piece3, &piece4, &piece5};
    for (const StripDraw& strip : strips) {
        if (strip.alpha) glColor4f(1.0f, 1.0f, 1.0f, *strip.alpha);
        const auto x = static_cast<float>(strip.speed * elapsed + strip.offset);
        pieces[strip.piece - 1]->draw(x, strip.y, 0.0f, strip.scale);
    }
}

void SpriteScene::drawLogo(std::uint32_t elapsed) const {
    glColor4f(0.3f, 0.5f, 0.4f, 0.5f);
    glTranslatef(600.0f, 400.0f, -5.0f);
    glRotatef(75.0f, 1.0f, 0.0f, 0.0f);
    glRotatef(logoAngle(elapsed), 0.0f, 0.0f, 1.0f);
    glScalef(35.0f, 35.0f, 35.0f);
    glDisable(GL_TEXTURE_2D);
    mesh.draw(0);
    glEnable(GL_TEXTURE_2D);
}

void SpriteScene::stop() { glClearColor(0.0f, 0.0f, 0.0f, 1.0f); }

float backgroundFade(std::uint32_t elapsed) {
    if (elapsed > 1000) return static_cast<float>(1.0 - (elapsed - 1000) / 500.0);
    if (elapsed < 500) return static_cast<float>(elapsed / 500.0);
    return 1.0f;
}

float logoAngle(std::uint32_t elapsed) { return static_cast<float>(elapsed / 40 + 320); }
