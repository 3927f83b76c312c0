#pragma once

#include <vector>

// The soundtrack as the demo's own decoder gives it, mixed to mono at `rate`,
// with a second of silence after the music: what a recording of it played is
// compared with.
std::vector<float> decodeMono(const char* file, int rate);
