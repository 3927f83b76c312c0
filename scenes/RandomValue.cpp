#include "scenes/RandomValue.h"

std::uint32_t randomValue() {
    static RandomGenerator generator;
    return generator.next();
}
