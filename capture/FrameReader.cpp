#include "capture/FrameReader.h"

#include <GL/gl.h>

#include <cstring>

FrameReader::FrameReader(int width, int height, int factor)
    : width(width), height(height), factor(factor),
      bottomUp(std::size_t(width) * 3 * std::size_t(height) * std::size_t(factor) * std::size_t(factor)) {}

void FrameReader::read(Image& image) {
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width * factor, height * factor, GL_RGB, GL_UNSIGNED_BYTE, bottomUp.data());
    image.width = width;
    image.height = height;
    image.rgb.resize(std::size_t(width) * 3 * std::size_t(height));
    if (factor > 1) {
        averageBlocks(image);
        return;
    }
    const std::size_t row = image.rowBytes();
    for (int y = 0; y < height; ++y)
        std::memcpy(image.rgb.data() + std::size_t(y) * row, bottomUp.data() + std::size_t(height - 1 - y) * row, row);
}

void FrameReader::averageBlocks(Image& image) const {
    const std::size_t renderedRow = std::size_t(width) * 3 * std::size_t(factor);
    const unsigned blockPixels = unsigned(factor * factor);
    std::vector<unsigned> sums(image.rowBytes());
    for (int y = 0; y < height; ++y) {
        std::fill(sums.begin(), sums.end(), 0u);
        // The block rows of image row y, counted from the bottom.
        const std::size_t firstRow = std::size_t(height - 1 - y) * std::size_t(factor);
        for (int blockRow = 0; blockRow < factor; ++blockRow) {
            const std::uint8_t* source = bottomUp.data() + (firstRow + std::size_t(blockRow)) * renderedRow;
            for (int x = 0; x < width; ++x)
                for (int column = 0; column < factor; ++column)
                    for (int channel = 0; channel < 3; ++channel)
                        sums[std::size_t(x) * 3 + std::size_t(channel)] += *source++;
        }
        std::uint8_t* target = image.rgb.data() + std::size_t(y) * image.rowBytes();
        for (const unsigned sum : sums) *target++ = std::uint8_t((sum + blockPixels / 2) / blockPixels);
    }
}
