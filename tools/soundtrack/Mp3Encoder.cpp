#include "tools/soundtrack/Mp3Encoder.h"

#include <lame.h>

#include <algorithm>
#include <memory>
#include <stdexcept>

namespace {

constexpr int chunkFrames = 8192;
// LAME's documented worst case for the output of one call.
constexpr int outputBound = chunkFrames * 5 / 4 + 7200;

struct LameCloser {
    void operator()(lame_global_flags* flags) const { lame_close(flags); }
};

void appendEncoded(std::vector<unsigned char>& mp3, const unsigned char* bytes, int count) {
    if (count < 0) {
        throw std::runtime_error("LAME failed to encode (error " + std::to_string(count) + ")");
    }
    mp3.insert(mp3.end(), bytes, bytes + count);
}

}  // namespace

std::vector<unsigned char> encodeMp3(const StereoBuffer& track, int sampleRate, int bitrateKbps, int quality) {
    const std::unique_ptr<lame_global_flags, LameCloser> lame(lame_init());
    if (!lame) {
        throw std::runtime_error("LAME could not start");
    }
    lame_set_in_samplerate(lame.get(), sampleRate);
    lame_set_out_samplerate(lame.get(), sampleRate);
    lame_set_num_channels(lame.get(), 2);
    lame_set_mode(lame.get(), JOINT_STEREO);
    lame_set_VBR(lame.get(), vbr_off);
    lame_set_brate(lame.get(), bitrateKbps);
    lame_set_quality(lame.get(), quality);
    lame_set_bWriteVbrTag(lame.get(), 1);
    lame_set_write_id3tag_automatic(lame.get(), 0);
    if (lame_init_params(lame.get()) < 0) {
        throw std::runtime_error("LAME rejected the encoder settings");
    }

    std::vector<unsigned char> mp3;
    std::vector<unsigned char> chunk(outputBound);
    for (std::size_t first = 0; first < track.frames(); first += chunkFrames) {
        const int count = static_cast<int>(std::min<std::size_t>(chunkFrames, track.frames() - first));
        appendEncoded(mp3, chunk.data(),
                      lame_encode_buffer_ieee_float(lame.get(), &track.left[first], &track.right[first], count,
                                                    chunk.data(), outputBound));
    }
    appendEncoded(mp3, chunk.data(), lame_encode_flush(lame.get(), chunk.data(), outputBound));

    // The first frame was reserved for the header; fill it in now that the
    // totals are known.
    const std::size_t tagSize = lame_get_lametag_frame(lame.get(), chunk.data(), chunk.size());
    if (tagSize == 0 || tagSize > mp3.size()) {
        throw std::runtime_error("LAME produced no header frame");
    }
    std::copy(chunk.begin(), chunk.begin() + static_cast<long>(tagSize), mp3.begin());
    return mp3;
}
