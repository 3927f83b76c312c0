#include "capture/FrameReader.h"

#include <GL/gl.h>

#include <cstring>

#ifndef GL_PACK_INVERT_MESA
#define GL_PACK_INVERT_MESA 0x8758
#endif

namespace {

constexpr std::size_t renderedBytes = 4;  // RGBA

bool hasPackInvert() {
    const auto* const extensions = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
    return extensions != nullptr && std::strstr(extensions, "GL_MESA_pack_invert") != nullptr;
}

// One row of RGBA pixels as RGB. Four bytes are copied a pixel, one more
// than it needs, which the next pixel overwrites: the compiler makes each a
// single load and store.
void dropAlpha(const std::uint8_t* rgba, std::uint8_t* rgb, int pixels) {
    for (int x = 0; x + 1 < pixels; ++x) std::memcpy(rgb + std::size_t(x) * 3, rgba + std::size_t(x) * 4, 4);
    if (pixels > 0) std::memcpy(rgb + std::size_t(pixels - 1) * 3, rgba + std::size_t(pixels - 1) * 4, 3);
}

}  // namespace

FrameReader::FrameReader(int width, int height, int factor)
    : width(width), height(height), factor(factor), topRowFirst(hasPackInvert()),
      rendered(std::size_t(width) * renderedBytes * std::size_t(height) * std::size_t(factor) *
               std::size_t(factor)) {}

// RGBA is what the framebuffer holds: llvmpipe copies it as it is, where RGB
// costs a conversion of every pixel, several times as long.
void FrameReader::read(Image& image) {
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    if (topRowFirst) glPixelStorei(GL_PACK_INVERT_MESA, GL_TRUE);
    glReadPixels(0, 0, width * factor, height * factor, GL_RGBA, GL_UNSIGNED_BYTE, rendered.data());
    if (topRowFirst) glPixelStorei(GL_PACK_INVERT_MESA, GL_FALSE);
    image.width = width;
    image.height = height;
    image.rgb.resize(std::size_t(width) * 3 * std::size_t(height));
    if (factor > 1) {
        averageBlocks(image);
        return;
    }
    for (int y = 0; y < height; ++y)
        dropAlpha(renderedRow(std::size_t(y)), image.rgb.data() + std::size_t(y) * image.rowBytes(), width);
}

const std::uint8_t* FrameReader::renderedRow(std::size_t y) const {
    const std::size_t rows = std::size_t(height) * std::size_t(factor);
    const std::size_t row = topRowFirst ? y : rows - 1 - y;
    return rendered.data() + row * std::size_t(width) * std::size_t(factor) * renderedBytes;
}

void FrameReader::averageBlocks(Image& image) {
    const unsigned blockPixels = unsigned(factor * factor);
    sums.resize(image.rowBytes());
    for (int y = 0; y < height; ++y) {
        std::fill(sums.begin(), sums.end(), 0u);
        for (int blockRow = 0; blockRow < factor; ++blockRow) {
            const std::uint8_t* source = renderedRow(std::size_t(y) * std::size_t(factor) + std::size_t(blockRow));
            for (int x = 0; x < width; ++x)
                for (int column = 0; column < factor; ++column) {
                    for (int channel = 0; channel < 3; ++channel)
                        sums[std::size_t(x) * 3 + std::size_t(channel)] += source[channel];
                    source += renderedBytes;
                }
        }
        std::uint8_t* target = image.rgb.data() + std::size_t(y) * image.rowBytes();
        for (const unsigned sum : sums) *target++ = std::uint8_t((sum + blockPixels / 2) / blockPixels);
    }
}
