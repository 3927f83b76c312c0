#include "web/ImmediateGl.h"

#include <algorithm>
#include <cstddef>

#include "web/WebGl.h"

namespace {

enum Attribute : GLuint { positionAttribute, colourAttribute, texCoordAttribute };

// The most vertices a batch's 16-bit indices can reach (WebGL 1 draws with
// 32-bit ones only by an extension).
constexpr std::size_t maxBatchVertices = 65536;

// The vertex is in clip space already. One on the eye plane has a w of
// exactly 0; it lies outside the near plane and is clipped away, but
// SwiftShader (headless Chromium's WebGL) then loses the texture coordinates
// along the cut edges, and the tunnel's near ends lie there: a tiny w clips
// to the same picture.
const char* const vertexShader = R"(
attribute vec4 position;
attribute vec4 colour;
attribute vec2 texCoord;
varying vec4 shade;
varying vec2 imageAt;
void main() {
    gl_Position = position;
    if (gl_Position.w == 0.0) gl_Position.w = 1e-4;
    shade = colour;
    imageAt = texCoord;
}
)";

// GL_MODULATE, OpenGL's default texture function: the texel times the colour.
// High precision where there is any, for the tunnel's scrolled coordinates.
const char* const fragmentShader = R"(
#ifdef GL_FRAGMENT_PRECISION_HIGH
precision highp float;
#else
precision mediump float;
#endif
uniform sampler2D image;
uniform bool textured;
varying vec4 shade;
varying vec2 imageAt;
void main() {
    gl_FragColor = textured ? texture2D(image, imageAt) * shade : shade;
}
)";

float clamped(float component) { return std::clamp(component, 0.0f, 1.0f); }

// A compiled shader, or 0 with the compiler's log in failure.
GLuint compiledShader(GLenum type, const char* source, std::string& failure) {
    const GLuint shader = emscripten_glCreateShader(type);
    emscripten_glShaderSource(shader, 1, &source, nullptr);
    emscripten_glCompileShader(shader);
    GLint compiled = GL_FALSE;
    emscripten_glGetShaderiv(shader, GL_COMPILE_STATUS, &compiled);
    if (compiled == GL_TRUE) return shader;
    char log[512] = "";
    emscripten_glGetShaderInfoLog(shader, sizeof log, nullptr, log);
    failure = std::string("the page's shader did not compile: ") + log;
    return 0;
}

}  // namespace

std::string ImmediateGl::open() {
    std::string failure;
    const GLuint vertex = compiledShader(GL_VERTEX_SHADER, vertexShader, failure);
    const GLuint fragment = vertex != 0 ? compiledShader(GL_FRAGMENT_SHADER, fragmentShader, failure) : 0;
    if (fragment == 0) return failure;

    const GLuint program = emscripten_glCreateProgram();
    emscripten_glAttachShader(program, vertex);
    emscripten_glAttachShader(program, fragment);
    emscripten_glBindAttribLocation(program, positionAttribute, "position");
    emscripten_glBindAttribLocation(program, colourAttribute, "colour");
    emscripten_glBindAttribLocation(program, texCoordAttribute, "texCoord");
    emscripten_glLinkProgram(program);
    GLint linked = GL_FALSE;
    emscripten_glGetProgramiv(program, GL_LINK_STATUS, &linked);
    if (linked != GL_TRUE) {
        char log[512] = "";
        emscripten_glGetProgramInfoLog(program, sizeof log, nullptr, log);
        return std::string("the page's shader did not link: ") + log;
    }
    emscripten_glUseProgram(program);
    texturedLocation = emscripten_glGetUniformLocation(program, "textured");

    // One vertex buffer and one index buffer, bound for good: every batch is
    // drawn from them.
    GLuint buffers[2] = {0, 0};
    emscripten_glGenBuffers(2, buffers);
    emscripten_glBindBuffer(GL_ARRAY_BUFFER, buffers[0]);
    emscripten_glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, buffers[1]);
    const GLsizei stride = sizeof(BatchVertex);
    emscripten_glVertexAttribPointer(positionAttribute, 4, GL_FLOAT, GL_FALSE, stride,
                                     reinterpret_cast<const void*>(offsetof(BatchVertex, position)));
    emscripten_glVertexAttribPointer(colourAttribute, 4, GL_FLOAT, GL_FALSE, stride,
                                     reinterpret_cast<const void*>(offsetof(BatchVertex, red)));
    emscripten_glVertexAttribPointer(texCoordAttribute, 2, GL_FLOAT, GL_FALSE, stride,
                                     reinterpret_cast<const void*>(offsetof(BatchVertex, s)));
    for (const GLuint attribute : {positionAttribute, colourAttribute, texCoordAttribute}) {
        emscripten_glEnableVertexAttribArray(attribute);
    }
    return "";
}

void ImmediateGl::matrixMode(GLenum mode) { stackMode = mode; }

std::vector<Matrix>& ImmediateGl::currentStack() { return stackMode == GL_PROJECTION ? projection : modelView; }

void ImmediateGl::loadIdentity() {
    currentStack().back() = Matrix::identity();
    productStale = true;
}

void ImmediateGl::multiply(const Matrix& matrix) {
    Matrix& current = currentStack().back();
    current = current * matrix;
    productStale = true;
}

void ImmediateGl::pushMatrix() {
    std::vector<Matrix>& stack = currentStack();
    stack.push_back(stack.back());
}

// Popping the last matrix is a stack underflow in OpenGL, which ignores it.
void ImmediateGl::popMatrix() {
    std::vector<Matrix>& stack = currentStack();
    if (stack.size() < 2) return;
    stack.pop_back();
    productStale = true;
}

const Matrix& ImmediateGl::modelViewProjection() {
    if (productStale) {
        product = projection.back() * modelView.back();
        productStale = false;
    }
    return product;
}

void ImmediateGl::begin(GLenum mode) {
    cornersPerPrimitive = mode == GL_QUADS ? 4 : mode == GL_TRIANGLES ? 3 : 0;
    cornerCount = 0;
}

void ImmediateGl::end() {
    cornersPerPrimitive = 0;
    cornerCount = 0;
}

void ImmediateGl::colour(float red, float green, float blue, float alpha) {
    currentColour = {clamped(red), clamped(green), clamped(blue), clamped(alpha)};
}

void ImmediateGl::texCoord(float s, float t) { currentTexCoord = {s, t}; }

void ImmediateGl::vertex(float x, float y, float z) {
    if (cornersPerPrimitive == 0) return;
    corners[cornerCount++] = {modelViewProjection().transform(x, y, z),
                              currentColour[0], currentColour[1], currentColour[2], currentColour[3],
                              currentTexCoord[0], currentTexCoord[1]};
    if (cornerCount == cornersPerPrimitive) completePrimitive();
}

// A quad is drawn as the triangles (0, 1, 2) and (0, 2, 3), as OpenGL's
// implementations split it. A batch that 16-bit indices can no longer reach
// is drawn first.
void ImmediateGl::completePrimitive() {
    if (batch.size() + static_cast<std::size_t>(cornersPerPrimitive) > maxBatchVertices) flush();
    const auto first = static_cast<GLushort>(batch.size());
    batch.insert(batch.end(), corners.begin(), corners.begin() + cornersPerPrimitive);
    if (cornersPerPrimitive == 4) {
        for (const int corner : {0, 1, 2, 0, 2, 3}) batchIndices.push_back(static_cast<GLushort>(first + corner));
    } else {
        for (const int corner : {0, 1, 2}) batchIndices.push_back(static_cast<GLushort>(first + corner));
    }
    cornerCount = 0;
}

void ImmediateGl::enable(GLenum capability) { setCapability(capability, true); }

void ImmediateGl::disable(GLenum capability) { setCapability(capability, false); }

// Texturing is the shader's to do; blending and the depth test are WebGL's.
// A capability the page does not keep goes to WebGL as it is.
void ImmediateGl::setCapability(GLenum capability, bool enabled) {
    bool* kept = capability == GL_TEXTURE_2D ? &texturing
                 : capability == GL_BLEND     ? &blending
                 : capability == GL_DEPTH_TEST ? &depthTest
                                               : nullptr;
    if (kept != nullptr && *kept == enabled) return;
    flush();
    if (kept != nullptr) *kept = enabled;
    if (capability == GL_TEXTURE_2D) return;
    if (enabled) {
        emscripten_glEnable(capability);
    } else {
        emscripten_glDisable(capability);
    }
}

void ImmediateGl::blendFunc(GLenum source, GLenum destination) {
    if (blendFactors[0] == source && blendFactors[1] == destination) return;
    flush();
    blendFactors = {source, destination};
    emscripten_glBlendFunc(source, destination);
}

void ImmediateGl::bindTexture(GLuint texture) {
    if (texture == boundTexture) return;
    flush();
    boundTexture = texture;
    emscripten_glBindTexture(GL_TEXTURE_2D, texture);
}

// Deleting the bound texture leaves texture 0 bound, in OpenGL as in WebGL.
void ImmediateGl::deleteTextures(GLsizei count, const GLuint* textures) {
    flush();
    for (GLsizei i = 0; i < count; ++i) {
        if (textures[i] == boundTexture) boundTexture = 0;
    }
    emscripten_glDeleteTextures(count, textures);
}

// Texture 0 has no image: OpenGL then draws untextured, where WebGL would
// sample black.
void ImmediateGl::flush() {
    if (batch.empty()) return;
    const bool textured = texturing && boundTexture != 0;
    if (textured != texturedUniform) {
        emscripten_glUniform1i(texturedLocation, textured ? 1 : 0);
        texturedUniform = textured;
    }
    emscripten_glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(batch.size() * sizeof(BatchVertex)),
                            batch.data(), GL_STREAM_DRAW);
    emscripten_glBufferData(GL_ELEMENT_ARRAY_BUFFER,
                            static_cast<GLsizeiptr>(batchIndices.size() * sizeof(GLushort)), batchIndices.data(),
                            GL_STREAM_DRAW);
    emscripten_glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(batchIndices.size()), GL_UNSIGNED_SHORT, nullptr);
    batch.clear();
    batchIndices.clear();
}
