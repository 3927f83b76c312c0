#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "base/Window.h"

// Frames per second as an exact fraction, numerator / denominator: 60/1, or
// 60000/1001 for the broadcast rate shown as 59.94.
struct FrameRate {
    std::uint32_t numerator = 60;
    std::uint32_t denominator = 1;

    // "60" or "60000/1001", as ffmpeg takes it.
    std::string text() const;
};

// What the command line asks the capture program for.
struct CaptureOptions {
    enum class Request { capture, help, version };

    Request request = Request::capture;
    FrameRate fps;
    int width = windowWidth;
    int height = windowHeight;
    std::uint32_t fromMs = 0;
    std::optional<std::uint32_t> toMs;  // none: up to the end of the show
    std::string out;
    std::vector<std::uint32_t> stills;  // times in ms; empty: a sequence or a video
    int supersample = 1;  // each frame rendered this many times wider and higher, then averaged down
    bool stretch = false;
    bool force = false;
    bool quiet = false;
    std::string soundtrack = "Quietfall.MP3";

    // A video file (.mp4), or a lossless archive (.mkv); otherwise PNG files.
    bool wantsVideo() const;
    bool wantsArchive() const;
};

// A command line that asks for something impossible; the message names the
// problem.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Reads the command line; times may not go beyond lengthMs. Throws UsageError.
CaptureOptions parseCaptureOptions(int argc, char* const argv[], std::uint32_t lengthMs);

extern const char* const captureHelp;
