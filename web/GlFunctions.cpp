#include "web/GlFunctions.h"

#include <GL/gl.h>

#include "web/WebGl.h"

ImmediateGl& pageGl() {
    static ImmediateGl gl;
    return gl;
}

void glMatrixMode(GLenum mode) { pageGl().matrixMode(mode); }
void glLoadIdentity() { pageGl().loadIdentity(); }
void glPushMatrix() { pageGl().pushMatrix(); }
void glPopMatrix() { pageGl().popMatrix(); }
void glTranslatef(GLfloat x, GLfloat y, GLfloat z) { pageGl().multiply(Matrix::translation(x, y, z)); }
void glScalef(GLfloat x, GLfloat y, GLfloat z) { pageGl().multiply(Matrix::scaling(x, y, z)); }
void glRotatef(GLfloat angle, GLfloat x, GLfloat y, GLfloat z) { pageGl().multiply(Matrix::rotation(angle, x, y, z)); }
void glOrtho(GLdouble left, GLdouble right, GLdouble bottom, GLdouble top, GLdouble zNear, GLdouble zFar) {
    pageGl().multiply(Matrix::orthographic(left, right, bottom, top, zNear, zFar));
}
void glFrustum(GLdouble left, GLdouble right, GLdouble bottom, GLdouble top, GLdouble zNear, GLdouble zFar) {
    pageGl().multiply(Matrix::frustum(left, right, bottom, top, zNear, zFar));
}

void glBegin(GLenum mode) { pageGl().begin(mode); }
void glEnd() { pageGl().end(); }
void glColor3f(GLfloat red, GLfloat green, GLfloat blue) { pageGl().colour(red, green, blue, 1.0f); }
void glColor4f(GLfloat red, GLfloat green, GLfloat blue, GLfloat alpha) { pageGl().colour(red, green, blue, alpha); }
void glTexCoord2f(GLfloat s, GLfloat t) { pageGl().texCoord(s, t); }
void glTexCoord2d(GLdouble s, GLdouble t) { pageGl().texCoord(static_cast<GLfloat>(s), static_cast<GLfloat>(t)); }
void glVertex3f(GLfloat x, GLfloat y, GLfloat z) { pageGl().vertex(x, y, z); }

void glEnable(GLenum capability) { pageGl().enable(capability); }
void glDisable(GLenum capability) { pageGl().disable(capability); }
void glBlendFunc(GLenum source, GLenum destination) { pageGl().blendFunc(source, destination); }
void glBindTexture(GLenum, GLuint texture) { pageGl().bindTexture(texture); }
void glDeleteTextures(GLsizei count, const GLuint* textures) { pageGl().deleteTextures(count, textures); }

void glTexParameteri(GLenum target, GLenum name, GLint value) {
    pageGl().flush();
    emscripten_glTexParameteri(target, name, value);
}

// OpenGL 1.1 may name the internal format by its number of components (1 to
// 4); WebGL takes only the named formats.
void glTexImage2D(GLenum target, GLint level, GLint internalFormat, GLsizei width, GLsizei height, GLint border,
                  GLenum format, GLenum type, const GLvoid* pixels) {
    static const GLint namedFormats[] = {GL_LUMINANCE, GL_LUMINANCE_ALPHA, GL_RGB, GL_RGBA};
    const GLint named = internalFormat >= 1 && internalFormat <= 4 ? namedFormats[internalFormat - 1] : internalFormat;
    pageGl().flush();
    emscripten_glTexImage2D(target, level, named, width, height, border, format, type, pixels);
}

void glClear(GLbitfield mask) {
    pageGl().flush();
    emscripten_glClear(mask);
}

void glFlush() { pageGl().flush(); }

void glFinish() {
    pageGl().flush();
    emscripten_glFinish();
}
