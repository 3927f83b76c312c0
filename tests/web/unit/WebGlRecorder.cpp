#include "tests/web/unit/WebGlRecorder.h"

#include <cstring>

#include "web/WebGl.h"

namespace {

std::vector<std::string> callLog;
std::vector<webGlRecorder::Draw> drawLog;
std::vector<webGlRecorder::DrawnVertex> bufferContents;
std::vector<GLushort> indexContents;
bool texturedUniform = false;
GLuint lastName = 0;

void record(const std::string& name, long long value) { callLog.push_back(name + " " + std::to_string(value)); }

}  // namespace

namespace webGlRecorder {

void reset() {
    callLog.clear();
    drawLog.clear();
}

const std::vector<std::string>& calls() { return callLog; }

const std::vector<Draw>& draws() { return drawLog; }

}  // namespace webGlRecorder

extern "C" {

void emscripten_glEnable(GLenum cap) { record("enable", cap); }
void emscripten_glDisable(GLenum cap) { record("disable", cap); }
void emscripten_glBlendFunc(GLenum source, GLenum destination) {
    callLog.push_back("blendFunc " + std::to_string(source) + " " + std::to_string(destination));
}
void emscripten_glBindTexture(GLenum, GLuint texture) { record("bindTexture", texture); }
void emscripten_glTexParameteri(GLenum, GLenum name, GLint) { record("texParameteri", name); }
void emscripten_glTexImage2D(GLenum, GLint, GLint internalFormat, GLsizei, GLsizei, GLint, GLenum, GLenum,
                             const void*) {
    record("texImage2D", internalFormat);
}
void emscripten_glDeleteTextures(GLsizei, const GLuint* textures) { record("deleteTextures", textures[0]); }
void emscripten_glClear(GLbitfield mask) { record("clear", mask); }
void emscripten_glFinish() { callLog.push_back("finish"); }

GLuint emscripten_glCreateShader(GLenum) { return ++lastName; }
void emscripten_glShaderSource(GLuint, GLsizei, const GLchar* const*, const GLint*) {}
void emscripten_glCompileShader(GLuint) {}
void emscripten_glGetShaderiv(GLuint, GLenum, GLint* value) { *value = GL_TRUE; }
void emscripten_glGetShaderInfoLog(GLuint, GLsizei, GLsizei*, GLchar* log) { log[0] = '\0'; }
GLuint emscripten_glCreateProgram() { return ++lastName; }
void emscripten_glAttachShader(GLuint, GLuint) {}
void emscripten_glBindAttribLocation(GLuint, GLuint, const GLchar*) {}
void emscripten_glLinkProgram(GLuint) {}
void emscripten_glGetProgramiv(GLuint, GLenum, GLint* value) { *value = GL_TRUE; }
void emscripten_glGetProgramInfoLog(GLuint, GLsizei, GLsizei*, GLchar* log) { log[0] = '\0'; }
void emscripten_glUseProgram(GLuint) {}
GLint emscripten_glGetUniformLocation(GLuint, const GLchar*) { return 7; }
void emscripten_glUniform1i(GLint, GLint value) { texturedUniform = value != 0; }

void emscripten_glGenBuffers(GLsizei, GLuint* buffers) { buffers[0] = ++lastName; }
void emscripten_glBindBuffer(GLenum, GLuint) {}
void emscripten_glBufferData(GLenum target, GLsizeiptr size, const void* data, GLenum) {
    if (target == GL_ELEMENT_ARRAY_BUFFER) {
        indexContents.resize(static_cast<std::size_t>(size) / sizeof(GLushort));
        std::memcpy(indexContents.data(), data, static_cast<std::size_t>(size));
    } else {
        bufferContents.resize(static_cast<std::size_t>(size) / sizeof(webGlRecorder::DrawnVertex));
        std::memcpy(bufferContents.data(), data, static_cast<std::size_t>(size));
    }
}
void emscripten_glEnableVertexAttribArray(GLuint) {}
void emscripten_glVertexAttribPointer(GLuint, GLint, GLenum, GLboolean, GLsizei, const void*) {}
// The draw is kept as the vertices its indices pick, in order; an index past
// the uploaded vertices fails the test.
void emscripten_glDrawElements(GLenum, GLsizei count, GLenum, const void*) {
    callLog.push_back("drawElements");
    webGlRecorder::Draw draw{{}, texturedUniform, bufferContents.size()};
    for (GLsizei i = 0; i < count; ++i) draw.vertices.push_back(bufferContents.at(indexContents.at(i)));
    drawLog.push_back(draw);
}

// WebGL's own, which the page does not define.
void glGenTextures(GLsizei count, GLuint* textures) {
    for (GLsizei i = 0; i < count; ++i) textures[i] = ++lastName;
}
void glClearColor(GLfloat, GLfloat, GLfloat, GLfloat) {}

}  // extern "C"
