#include "scenes/GridScene.h"

#include <GL/gl.h>

#include "assets/Assets.h"

GridScene::GridScene() : texture(nebulaImage.edge, nebulaImage.pixels) {}

void GridScene::start() {
    // 60 by 60 units around the origin, y pointing down, z from -20 (near)
    // to 20 (far).
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-30.0, 30.0, 30.0, -30.0, 20.0, -20.0);
    glMatrixMode(GL_MODELVIEW);

    glEnable(GL_DEPTH_TEST);
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);  // additive
    texture.upload();
    texture.bind();
}

void GridScene::render(std::uint32_t, std::uint32_t) {
    glLoadIdentity();  // no camera
    glColor3f(1.0f, 1.0f, 1.0f);
    grid.draw();
}

void GridScene::stop() { texture.release(); }
