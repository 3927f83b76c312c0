#pragma once

#include <cstddef>
#include <string>
#include <vector>

// A recording stand-in for the browser's WebGL under emscripten's names
// (web/WebGl.h) and for the OpenGL calls the page leaves to WebGL
// (glGenTextures, glClearColor): every call the page makes is kept in order,
// and every draw with the vertices it drew.
namespace webGlRecorder {

// One drawn vertex as the page lays it out: clip-space position, colour,
// texture coordinate.
struct DrawnVertex {
    float x, y, z, w;
    float red, green, blue, alpha;
    float s, t;
};

// A draw's triangles' vertices in order, and how many vertices it uploaded.
struct Draw {
    std::vector<DrawnVertex> vertices;
    bool textured;
    std::size_t uploaded;
};

void reset();

// The calls since the last reset, by name ("drawElements", "enable 3042",
// "bindTexture 2", ...), leaving out the shader's and the buffer's set-up.
const std::vector<std::string>& calls();

const std::vector<Draw>& draws();

}  // namespace webGlRecorder
