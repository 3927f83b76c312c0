#pragma once

#include <cstdint>
#include <string>
#include <vector>

// An 8-bit RGBA picture as read from or written to a PNG file, row 0 at the
// top, four bytes per pixel.
struct RgbaPicture {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> pixels;
};

// Reads any PNG and converts it to 8-bit RGBA. Returns false and fills
// `error` when the file cannot be read.
bool readPng(const std::string &path, RgbaPicture &picture, std::string &error);

// Writes the picture as an 8-bit RGBA PNG. The output depends only on the
// pixels, so the same picture always gives the same file.
bool writePng(const std::string &path, const RgbaPicture &picture, std::string &error);
