#include "scenes/ObjectScene.h"

#include <GL/gl.h>

#include "assets/Assets.h"

ObjectScene::ObjectScene()
    : mesh(logoMesh.triangleCount, logoMesh.vertices),
      backdrop(0.0f, 0.0f, 1.0f, 1.0f, 1024.0f, 768.0f),
      picture(pictureImage.edge, pictureImage.pixels),
      font(fontImage.edge, fontImage.pixels, glyphTable.records) {
    picture.upload();  // kept until the scene is destroyed
}

ObjectScene::~ObjectScene() { picture.release(); }

void ObjectScene::start() {
    // A 1024 by 768 view with y pointing down; depth from -100 to 100.
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0.0, 1024.0, 768.0, 0.0, -100.0, 100.0);
    glMatrixMode(GL_MODELVIEW);

    glEnable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glDisable(GL_DEPTH_TEST);
    glColor4f(1.0f, 1.0f, 1.0f, 0.8f);
    picture.bind();
    glClearColor(1.0f, 1.0f, 1.0f, 1.0f);
}

void ObjectScene::render(std::uint32_t, std::uint32_t timeMs) {
    const float spin = spinAngle(timeMs);
    glLoadIdentity();  // no camera

    // The opaque picture covers the whole view.
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    picture.bind();
    backdrop.draw(0.0f, 0.0f, 10.0f, 1.0f);

    // The logo in the lower right, in half-transparent blue.
    glColor4f(0.2f, 0.3f, 0.7f, 0.5f);
    glTranslatef(820.0f, 650.0f, -5.0f);
    glRotatef(75.0f, 1.0f, 0.0f, 0.0f);
    glRotatef(spin, 0.0f, 0.0f, 1.0f);
    glScalef(15.0f, 15.0f, 15.0f);
    glDisable(GL_TEXTURE_2D);
    mesh.draw(0);
    glEnable(GL_TEXTURE_2D);
}

void ObjectScene::stop() {}

float spinAngle(std::uint32_t timeMs) {
    const auto sinceSpinStart = static_cast<std::int32_t>(timeMs - 41000u);
    return static_cast<float>(static_cast<float>(sinceSpinStart) / 40.0 + 320.0);
}
