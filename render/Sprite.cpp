#include "render/Sprite.h"

#include <GL/gl.h>

Sprite::Sprite(float s0, float t0, float s1, float t1, float width, float height)
    : s0(s0), t0(t0), s1(s1), t1(t1), width(width), height(height) {}

void Sprite::draw(float x, float y, float z, float scale) const {
    const float scaledWidth = scale * width;
    const float scaledHeight = scale * height;
    glBegin(GL_QUADS);
    glTexCoord2f(s0, t0);
    glVertex3f(x, y, z);
    glTexCoord2f(s1, t0);
    glVertex3f(x + scaledWidth, y, z);
    glTexCoord2f(s1, t1);
    glVertex3f(x + scaledWidth, y + scaledHeight, z);
    glTexCoord2f(s0, t1);
    glVertex3f(x, y + scaledHeight, z);
    glEnd();
}
