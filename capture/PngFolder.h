#pragma once

#include <string>

#include "capture/FrameOutput.h"

// Frames as PNG files (RGB, 8 bits a channel) in a folder. Files are
// independent, so two frames are compressed at once.
class PngFolder : public FrameOutput {
public:
    explicit PngFolder(std::string folder) : folder(std::move(folder)) {}

    int parallelWrites() const override { return 2; }
    void write(const Image& image, const std::vector<std::string>& names) override;
    void finish(std::uint64_t) override {}

private:
    std::string folder;
};

// Writes `image` to `path` as a PNG file. Throws Failure naming the file.
void writePng(const Image& image, const std::string& path);
