#pragma once

#include <array>
#include <cstddef>

// When the frame being drawn reaches the screen: the browser composites it
// after the animation frame's callbacks and shows it by the next animation
// frame, so one frame interval after the animation frame's time. The
// interval is the median of the last five, which follows the display's
// refresh and, when the page cannot keep up, the rate it does keep: a frame
// costs about what the ones just before it did, and a longer memory lags
// behind changes of the scene (in Chromium on SwiftShader, 34 ms of spread
// in the predicted moments against 50 ms with fifteen).
class FrameShowTime {
public:
    // The moment (page ms) the frame of the animation frame at frameMs is
    // shown. Called again within the same animation frame, it gives the same.
    double shownAtMs(double frameMs);

private:
    static constexpr std::size_t kept = 5;
    static constexpr double refreshMs = 1000.0 / 60.0;  // until intervals are seen

    double medianInterval() const;

    std::array<double, kept> intervals{};
    std::size_t seen = 0;
    double lastFrameMs = -1;
};
