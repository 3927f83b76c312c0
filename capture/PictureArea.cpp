#include "capture/PictureArea.h"

#include <GL/gl.h>

PictureArea PictureArea::within(int frameWidth, int frameHeight, bool stretch) {
    if (stretch) return {0, 0, frameWidth, frameHeight};
    // Compared in whole numbers: width : height against 4 : 3.
    const long wide = long(frameWidth) * 3;
    const long tall = long(frameHeight) * 4;
    if (wide > tall) {
        const int width = int((long(frameHeight) * 4 + 1) / 3);
        return {(frameWidth - width) / 2, 0, width, frameHeight};
    }
    const int height = int((long(frameWidth) * 3 + 2) / 4);
    return {0, (frameHeight - height) / 2, frameWidth, height};
}

void PictureArea::apply(int frameWidth, int frameHeight) const {
    glDisable(GL_SCISSOR_TEST);
    glViewport(0, 0, frameWidth, frameHeight);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glViewport(x, y, width, height);
    glScissor(x, y, width, height);
    glEnable(GL_SCISSOR_TEST);
}
