#include "capture/Progress.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <string>

namespace {

constexpr int barWidth = 30;

std::string minutesAndSeconds(double seconds) {
    const long whole = long(seconds + 0.5);
    char text[32];
    std::snprintf(text, sizeof text, "%ld:%02ld", whole / 60, whole % 60);
    return text;
}

}  // namespace

Progress::Progress(std::uint64_t totalFrames, Style style) : total(std::max<std::uint64_t>(totalFrames, 1)), style(style) {}

void Progress::update(std::uint64_t framesDone) {
    if (style == Style::quiet) return;
    const Clock::time_point now = Clock::now();
    const auto interval = style == Style::bar ? std::chrono::milliseconds(200) : std::chrono::milliseconds(5000);
    if (now - shown < interval) return;
    shown = now;
    show(framesDone, false);
}

void Progress::finish(std::uint64_t framesDone) {
    if (style == Style::quiet) return;
    show(framesDone, true);
}

void Progress::show(std::uint64_t framesDone, bool last) {
    const double seconds = std::chrono::duration<double>(Clock::now() - started).count();
    const double fps = seconds > 0 ? double(framesDone) / seconds : 0.0;
    // The show's end decides the true total; never show more than done.
    const std::uint64_t shownTotal = last ? framesDone : std::max(total, framesDone);
    const double left = fps > 0 ? double(shownTotal - framesDone) / fps : 0.0;
    if (style == Style::lines) {
        std::fprintf(stderr, "%llu/%llu frames, %.1f fps, %s left\n", static_cast<unsigned long long>(framesDone),
                     static_cast<unsigned long long>(shownTotal), fps, minutesAndSeconds(left).c_str());
        return;
    }
    const int filled = int(barWidth * framesDone / std::max<std::uint64_t>(shownTotal, 1));
    const std::string bar = std::string(std::size_t(filled), '#') + std::string(std::size_t(barWidth - filled), '.');
    std::fprintf(stderr, "\r[%s] %llu/%llu frames  %.1f fps  %s left ", bar.c_str(),
                 static_cast<unsigned long long>(framesDone), static_cast<unsigned long long>(shownTotal), fps,
                 minutesAndSeconds(left).c_str());
    if (last) std::fputc('\n', stderr);
}

Progress::Style progressStyleFor(bool quiet) {
    if (quiet) return Progress::Style::quiet;
    return isatty(STDERR_FILENO) ? Progress::Style::bar : Progress::Style::lines;
}
