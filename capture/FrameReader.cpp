#include "capture/FrameReader.h"

#include <GL/gl.h>

#include <cstring>

FrameReader::FrameReader(int width, int height)
    : width(width), height(height), bottomUp(std::size_t(width) * 3 * std::size_t(height)) {}

void FrameReader::read(Image& image) {
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, bottomUp.data());
    image.width = width;
    image.height = height;
    image.rgb.resize(bottomUp.size());
    const std::size_t row = image.rowBytes();
    for (int y = 0; y < height; ++y)
        std::memcpy(image.rgb.data() + std::size_t(y) * row, bottomUp.data() + std::size_t(height - 1 - y) * row, row);
}
