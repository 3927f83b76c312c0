#pragma once

#include <string>
#include <vector>

// Makes real MP3 data for the tests and the benchmarks: a sine tone encoded
// with LAME.
namespace toneMp3 {

std::vector<unsigned char> encode(double seconds, int sampleRate = 44100, int channels = 2, double frequency = 440.0);

void writeFile(const std::string& path, const std::vector<unsigned char>& bytes);

// A fresh, empty directory under the system's temporary directory.
std::string makeTempDirectory();

}  // namespace toneMp3
