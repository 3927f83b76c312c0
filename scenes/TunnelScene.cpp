#include "scenes/TunnelScene.h"

#include <GL/gl.h>

#include <cmath>

#include "assets/Assets.h"

float tunnelScroll = 0.0f;

namespace {

constexpr float pi = 3.141592f;          // the drawing code's value, not exactly pi
constexpr float facetStep = 2 * pi / 20;  // 0.31415921
constexpr float facetColumnStep = 0.05f;  // texture column from facet to facet
constexpr float tubeLength = 20.0f;
constexpr double tubeRepeats = 10.0;      // the image repeats ten times along the tube

// One wall facet from angle a to a + step: a single column s of the image,
// stretched across the facet, running the length of the tube.
void drawFacet(float a, float s) {
    // The texture rows at the far and the near end (far and near are macros
    // on Windows).
    const double farT = 0.0 + tunnelScroll;
    const double nearT = tubeRepeats + tunnelScroll;
    const double b = double(a) + double(facetStep);
    const auto ax = float(std::cos(double(a)));
    const auto ay = float(std::sin(double(a)));
    const auto bx = float(std::cos(b));
    const auto by = float(std::sin(b));
    glTexCoord2f(s, float(farT));
    glVertex3f(ax, ay, -tubeLength);
    glTexCoord2f(s, float(nearT));
    glVertex3f(ax, ay, 0.0f);
    glTexCoord2f(s, float(nearT));
    glVertex3f(bx, by, 0.0f);
    glTexCoord2f(s, float(farT));
    glVertex3f(bx, by, -tubeLength);
}

}  // namespace

TunnelScene::TunnelScene() : texture(circuitImage.edge, circuitImage.pixels) {}

void TunnelScene::start() {
    glEnable(GL_TEXTURE_2D);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glFrustum(-0.3, 0.3, -0.3, 0.3, 0.1, 20.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    texture.upload();
    texture.bind();  // stays bound for the whole run
}

void TunnelScene::render(std::uint32_t, std::uint32_t) {
    // A fixed tilt on top of the camera transform loaded this frame.
    glRotatef(1.5f, 0.0f, 0.0f, 1.0f);
    tunnelScroll = static_cast<float>(double(tunnelScroll) - 0.005);

    // The angle accumulates in single precision and passes a full turn after
    // exactly 20 facets.
    glBegin(GL_QUADS);
    float s = 0.0f;
    for (float a = 0.0f; a < 2.0 * double(pi); a += facetStep) {
        drawFacet(a, s);
        s += facetColumnStep;
    }
    glEnd();
}

void TunnelScene::stop() { texture.release(); }
