#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "capture/Image.h"

// Where captured frames go: PNG files or a video. Frames arrive in order
// from writer threads; an output that can take several at once says so.
class FrameOutput {
public:
    virtual ~FrameOutput() = default;

    // How many frames may be written at the same time (1: one at a time, in
    // order).
    virtual int parallelWrites() const = 0;

    // Writes one frame under the names the capture plan gave it. Throws
    // Failure.
    virtual void write(const Image& image, const std::vector<std::string>& names) = 0;

    // After the last frame: completes the output in its work folder. Throws
    // Failure.
    virtual void finish(std::uint64_t framesWritten) = 0;
};
