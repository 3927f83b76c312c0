// Shows that the OpenGL error check catches an error: opens an OpenGL window
// like the demo, swaps two clean frames, then with "error" makes an invalid
// OpenGL call before the third swap: gl_error_probe [error]
#include <GL/gl.h>
#include <SDL.h>

#include <cstdio>
#include <cstring>

namespace {

void drawFrame() {
    glClear(GL_COLOR_BUFFER_BIT);
    SDL_GL_SwapBuffers();
}

}  // namespace

int main(int argc, char** argv) {
    const bool makeError = argc > 1 && std::strcmp(argv[1], "error") == 0;
    if (SDL_Init(SDL_INIT_VIDEO) < 0) return 2;
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    if (SDL_SetVideoMode(320, 240, 16, SDL_OPENGL) == nullptr) return 2;
    drawFrame();
    drawFrame();
    if (makeError) glMatrixMode(GL_TEXTURE_2D);  // not a matrix stack: GL_INVALID_ENUM
    drawFrame();
    SDL_Quit();
    std::puts("probe done");
    return 0;
}
