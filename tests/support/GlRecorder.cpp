#include "tests/support/GlRecorder.h"

#include <GL/gl.h>

#include <algorithm>
#include <ostream>

namespace {

std::vector<GlCall>& log() {
    static std::vector<GlCall> calls;
    return calls;
}

GLuint nextTextureName = 1;
const void* texImagePixels = nullptr;

void add(const char* name, std::vector<double> args = {}) { log().push_back({name, std::move(args)}); }

}  // namespace

namespace glRecorder {

const std::vector<GlCall>& calls() { return log(); }

void reset() {
    log().clear();
    texImagePixels = nullptr;
}

void record(const std::string& name, std::vector<double> args) { log().push_back({name, std::move(args)}); }

std::vector<GlCall> callsNamed(const std::string& name) {
    std::vector<GlCall> found;
    std::copy_if(log().begin(), log().end(), std::back_inserter(found),
                 [&](const GlCall& call) { return call.name == name; });
    return found;
}

int count(const std::string& name) {
    return static_cast<int>(std::count_if(log().begin(), log().end(),
                                          [&](const GlCall& call) { return call.name == name; }));
}

std::vector<std::string> names() {
    std::vector<std::string> result;
    result.reserve(log().size());
    for (const GlCall& call : log()) result.push_back(call.name);
    return result;
}

const void* lastTexImagePixels() { return texImagePixels; }

}  // namespace glRecorder

std::ostream& operator<<(std::ostream& out, const GlCall& call) {
    out << call.name << '(';
    for (size_t i = 0; i < call.args.size(); ++i) out << (i ? ", " : "") << call.args[i];
    return out << ')';
}

// The GL 1.1 entry points the demo uses, with the signatures of <GL/gl.h>.
extern "C" {

void glClear(GLbitfield mask) { add("glClear", {double(mask)}); }
void glClearColor(GLclampf r, GLclampf g, GLclampf b, GLclampf a) { add("glClearColor", {r, g, b, a}); }
void glMatrixMode(GLenum mode) { add("glMatrixMode", {double(mode)}); }
void glLoadIdentity() { add("glLoadIdentity"); }
void glPushMatrix() { add("glPushMatrix"); }
void glPopMatrix() { add("glPopMatrix"); }
void glOrtho(GLdouble l, GLdouble r, GLdouble b, GLdouble t, GLdouble n, GLdouble f) { add("glOrtho", {l, r, b, t, n, f}); }
void glFrustum(GLdouble l, GLdouble r, GLdouble b, GLdouble t, GLdouble n, GLdouble f) { add("glFrustum", {l, r, b, t, n, f}); }
void glTranslatef(GLfloat x, GLfloat y, GLfloat z) { add("glTranslatef", {x, y, z}); }
void glRotatef(GLfloat angle, GLfloat x, GLfloat y, GLfloat z) { add("glRotatef", {angle, x, y, z}); }
void glScalef(GLfloat x, GLfloat y, GLfloat z) { add("glScalef", {x, y, z}); }
void glBegin(GLenum mode) { add("glBegin", {double(mode)}); }
void glEnd() { add("glEnd"); }
void glVertex3f(GLfloat x, GLfloat y, GLfloat z) { add("glVertex3f", {x, y, z}); }
void glTexCoord2f(GLfloat s, GLfloat t) { add("glTexCoord2f", {s, t}); }
void glTexCoord2d(GLdouble s, GLdouble t) { add("glTexCoord2d", {s, t}); }
void glColor3f(GLfloat r, GLfloat g, GLfloat b) { add("glColor3f", {r, g, b}); }
void glColor4f(GLfloat r, GLfloat g, GLfloat b, GLfloat a) { add("glColor4f", {r, g, b, a}); }
void glEnable(GLenum cap) { add("glEnable", {double(cap)}); }
void glDisable(GLenum cap) { add("glDisable", {double(cap)}); }
void glBlendFunc(GLenum source, GLenum destination) { add("glBlendFunc", {double(source), double(destination)}); }
void glGenTextures(GLsizei n, GLuint* textures) {
    for (GLsizei i = 0; i < n; ++i) textures[i] = nextTextureName++;
    add("glGenTextures", {double(n), double(textures[0])});
}
void glBindTexture(GLenum target, GLuint texture) { add("glBindTexture", {double(target), double(texture)}); }
void glDeleteTextures(GLsizei n, const GLuint* textures) { add("glDeleteTextures", {double(n), double(textures[0])}); }
void glTexParameteri(GLenum target, GLenum name, GLint value) { add("glTexParameteri", {double(target), double(name), double(value)}); }
void glTexImage2D(GLenum target, GLint level, GLint internalFormat, GLsizei width, GLsizei height, GLint border,
                  GLenum format, GLenum type, const GLvoid* pixels) {
    texImagePixels = pixels;
    add("glTexImage2D", {double(target), double(level), double(internalFormat), double(width), double(height),
                         double(border), double(format), double(type)});
}
GLenum glGetError() { return GL_NO_ERROR; }

}  // extern "C"
