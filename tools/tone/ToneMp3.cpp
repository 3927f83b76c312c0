#include "tools/tone/ToneMp3.h"

#include <lame/lame.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <stdexcept>

namespace toneMp3 {

std::vector<unsigned char> encode(double seconds, int sampleRate, int channels, double frequency) {
    lame_global_flags* lame = lame_init();
    lame_set_in_samplerate(lame, sampleRate);
    lame_set_out_samplerate(lame, sampleRate);
    lame_set_num_channels(lame, channels);
    lame_set_mode(lame, channels == 1 ? MONO : JOINT_STEREO);
    lame_set_brate(lame, 128);
    lame_set_quality(lame, 7);
    if (lame_init_params(lame) < 0) throw std::runtime_error("LAME rejected the parameters");

    const int frames = int(seconds * sampleRate);
    std::vector<std::int16_t> left(static_cast<size_t>(frames));
    std::vector<std::int16_t> right(static_cast<size_t>(frames));
    for (int i = 0; i < frames; ++i) {
        left[size_t(i)] = std::int16_t(8000 * std::sin(2 * M_PI * frequency * i / sampleRate));
        right[size_t(i)] = left[size_t(i)];
    }
    std::vector<unsigned char> mp3(size_t(1.25 * frames + 7200 + 7200));
    int size = lame_encode_buffer(lame, left.data(), right.data(), frames, mp3.data(), int(mp3.size()));
    size += lame_encode_flush(lame, mp3.data() + size, int(mp3.size()) - size);
    // The stream opens with a placeholder for the LAME tag; filling it in tells
    // decoders the exact length, without the encoder's delay and padding.
    std::vector<unsigned char> tag(2880);
    const size_t tagSize = lame_get_lametag_frame(lame, tag.data(), tag.size());
    if (tagSize <= size_t(size)) std::copy(tag.begin(), tag.begin() + long(tagSize), mp3.begin());
    lame_close(lame);
    mp3.resize(size_t(size));
    return mp3;
}

void writeFile(const std::string& path, const std::vector<unsigned char>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

std::string makeTempDirectory() {
    std::string pattern = "/tmp/tidewash-test-XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("cannot make a temporary directory");
    return pattern;
}

}  // namespace toneMp3
