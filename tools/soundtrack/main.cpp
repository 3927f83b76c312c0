// Synthesizes the soundtrack from its score and writes it as an MP3 file.
// Usage: quietfall_synth <output.mp3>

#include "tools/soundtrack/Mp3Encoder.h"
#include "tools/soundtrack/Score.h"
#include "tools/soundtrack/Synthesizer.h"

#include <cstdio>
#include <exception>
#include <fstream>
#include <iostream>

namespace {

constexpr int sampleRate = 44100;
constexpr int bitrateKbps = 192;
constexpr int lameQuality = 2;  // 0 best .. 9 fastest; 2 is LAME's "high quality"

void writeFile(const char* path, const std::vector<unsigned char>& bytes) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!file) {
        throw std::runtime_error(std::string("cannot write ") + path);
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: " << argv[0] << " <output.mp3>\n";
        return 2;
    }
    try {
        const Score score = quietfallScore();
        const StereoBuffer track = Synthesizer(static_cast<float>(sampleRate)).render(score);
        writeFile(argv[1], encodeMp3(track, sampleRate, bitrateKbps, lameQuality));
    } catch (const std::exception& error) {
        std::cerr << argv[0] << ": " << error.what() << "\n";
        std::remove(argv[1]);
        return 1;
    }
    return 0;
}
