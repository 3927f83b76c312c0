#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "base/Window.h"

// What the command line asks the capture program for.
struct CaptureOptions {
    enum class Request { capture, help, version };

    Request request = Request::capture;
    std::uint32_t fps = 60;
    int width = windowWidth;
    int height = windowHeight;
    std::uint32_t fromMs = 0;
    std::optional<std::uint32_t> toMs;  // none: up to the end of the show
    std::string out;
    std::vector<std::uint32_t> stills;  // times in ms; empty: a sequence or a video
    bool stretch = false;
    bool force = false;
    bool quiet = false;
    std::string soundtrack = "Quietfall.MP3";

    bool wantsVideo() const;
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
