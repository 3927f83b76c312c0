// Writes the fuzzer's seed corpus into a directory: short LAME-encoded tones
// at the sample rates and channel counts an MP3 can have, so mutations start
// from every MPEG version and both channel layouts: make_fuzz_seeds DIRECTORY
#include <iostream>
#include <string>

#include "tools/tone/ToneMp3.h"

namespace {

struct Seed {
    const char* name;
    int sampleRate;
    int channels;
};

constexpr Seed seeds[] = {
    {"mpeg1_44100_stereo.mp3", 44100, 2}, {"mpeg1_48000_mono.mp3", 48000, 1}, {"mpeg1_32000_stereo.mp3", 32000, 2},
    {"mpeg2_22050_stereo.mp3", 22050, 2}, {"mpeg2_16000_mono.mp3", 16000, 1}, {"mpeg25_8000_mono.mp3", 8000, 1},
};

constexpr double seedSeconds = 0.25;

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: make_fuzz_seeds DIRECTORY\n";
        return 2;
    }
    const std::string directory = argv[1];
    for (const Seed& seed : seeds)
        toneMp3::writeFile(directory + "/" + seed.name, toneMp3::encode(seedSeconds, seed.sampleRate, seed.channels));
    return 0;
}
