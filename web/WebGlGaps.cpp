#include "web/WebGlGaps.h"

#include <GL/gl.h>

// From library_page.js. The first lets the WebGL context take GL 1.1's
// component-count internal formats (1 to 4) in glTexImage2D, where WebGL only
// takes named formats; the second keeps the texture coordinates of vertices
// that lie on the eye plane, which the tunnel's near ends do.
extern "C" {
void tidewash_bridge_texture_formats();
void tidewash_bridge_eye_plane_vertices();
}

void bridgeWebGlGaps() {
    tidewash_bridge_texture_formats();
    tidewash_bridge_eye_plane_vertices();
}

// The emulation has glTexCoord2f but no double-precision form. The polar grid
// passes doubles; the emulation keeps texture coordinates as floats anyway.
void glTexCoord2d(GLdouble s, GLdouble t) { glTexCoord2f(static_cast<GLfloat>(s), static_cast<GLfloat>(t)); }
