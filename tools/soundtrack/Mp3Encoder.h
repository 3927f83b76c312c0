#pragma once

#include "tools/soundtrack/StereoBuffer.h"

#include <vector>

// Encodes a stereo track to a joint-stereo, constant-bitrate MP3 with LAME,
// including the LAME "Info" header frame that lets decoders trim the
// encoder's delay and padding. The same input gives the same bytes.
// Throws std::runtime_error if LAME refuses the settings or the data.
std::vector<unsigned char> encodeMp3(const StereoBuffer& track, int sampleRate, int bitrateKbps, int quality);
