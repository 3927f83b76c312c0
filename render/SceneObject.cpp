#include "render/SceneObject.h"

#include <GL/gl.h>

SceneObject::SceneObject()
    : translateX(0.0f),
      translateY(0.0f),
      translateZ(0.0f),
      angle(0.0f),
      axisX(0.0f),
      axisY(0.0f),
      axisZ(0.0f),
      scaleX(1.0f),
      scaleY(1.0f),
      scaleZ(1.0f) {}

void SceneObject::draw(int n) const {
    glPushMatrix();
    glTranslatef(translateX, translateY, translateZ);
    glRotatef(angle, axisX, axisY, axisZ);
    glScalef(scaleX, scaleY, scaleZ);
    drawGeometry(n);
    glPopMatrix();
}
