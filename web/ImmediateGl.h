#pragma once

// OpenGL 1.1's fixed function over WebGL: the part the scenes and the toolkit
// call. It keeps the matrix stacks, the current colour and texture
// coordinate, and the state that decides how a primitive is drawn (texturing,
// blending, the depth test, the bound texture). Each glBegin/glEnd primitive
// is transformed to clip space here and joins a batch, which is drawn with one
// WebGL call only when something that changes how it is drawn happens, or at
// the frame's end: a cloud of a thousand sprites is one draw, where a call per
// sprite would leave the page short of the display's pace. A batch holds each
// corner once and draws its triangles by index, so a quad costs four
// vertices to upload, not six. What it draws is
// what OpenGL 1.1 draws: the texture modulated by the colour, perspective
// interpolation from the clip-space w.
#include <GL/gl.h>

#include <array>
#include <string>
#include <vector>

#include "web/Matrix.h"

class ImmediateGl {
public:
    // Makes the shader and the vertex buffer; call once the WebGL context
    // exists. Why it could not, or empty.
    std::string open();

    void matrixMode(GLenum mode);
    void loadIdentity();
    void multiply(const Matrix& matrix);
    void pushMatrix();
    void popMatrix();

    // GL_QUADS and GL_TRIANGLES; the vertices of any other mode, and of a
    // primitive left incomplete at end(), are dropped, as OpenGL drops them.
    void begin(GLenum mode);
    void end();
    void colour(float red, float green, float blue, float alpha);
    void texCoord(float s, float t);
    void vertex(float x, float y, float z);

    // Each draws what is gathered first when it changes how it would be drawn.
    void enable(GLenum capability);
    void disable(GLenum capability);
    void blendFunc(GLenum source, GLenum destination);
    void bindTexture(GLuint texture);
    void deleteTextures(GLsizei count, const GLuint* textures);

    // Draws what is gathered: before anything reads or changes the drawing
    // buffer or the bound texture's image, and at the frame's end.
    void flush();

private:
    struct BatchVertex {
        ClipVertex position;
        float red, green, blue, alpha;
        float s, t;
    };

    void setCapability(GLenum capability, bool enabled);
    std::vector<Matrix>& currentStack();
    const Matrix& modelViewProjection();
    void completePrimitive();

    std::vector<Matrix> modelView{Matrix::identity()};
    std::vector<Matrix> projection{Matrix::identity()};
    GLenum stackMode = GL_MODELVIEW;
    Matrix product = Matrix::identity();
    bool productStale = false;

    std::array<float, 4> currentColour{1.0f, 1.0f, 1.0f, 1.0f};
    std::array<float, 2> currentTexCoord{0.0f, 0.0f};
    int cornersPerPrimitive = 0;
    std::array<BatchVertex, 4> corners{};
    int cornerCount = 0;

    bool texturing = false;
    bool blending = false;
    bool depthTest = false;
    std::array<GLenum, 2> blendFactors{GL_ONE, GL_ZERO};
    GLuint boundTexture = 0;

    std::vector<BatchVertex> batch;
    std::vector<GLushort> batchIndices;
    GLint texturedLocation = -1;
    bool texturedUniform = false;
};
