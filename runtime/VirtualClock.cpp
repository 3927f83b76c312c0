#include "runtime/VirtualClock.h"

std::uint32_t VirtualClock::positionOfFrame(std::uint64_t n) const {
    return static_cast<std::uint32_t>((n * 1000u * denominator * 2 + numerator) / (numerator * 2));
}

std::uint64_t VirtualClock::frameShownAt(std::uint32_t timeMs) const {
    // A first guess from the rate, then the rounding settled by looking.
    std::uint64_t n = std::uint64_t(timeMs) * numerator / (1000u * denominator);
    while (positionOfFrame(n + 1) <= timeMs) ++n;
    while (n > 0 && positionOfFrame(n) > timeMs) --n;
    return n;
}
