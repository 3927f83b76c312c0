#pragma once

#include <chrono>
#include <cstdint>

// The steady clock in microseconds: the time base of the audio layer's play
// clocks (CLOCK_MONOTONIC, the clock libpulse times its streams by).
inline std::int64_t steadyTimeUs() {
    using namespace std::chrono;
    return duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count();
}
