#include "tests/soundtrack/DecodedTrack.h"

#include <mpg123.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <stdexcept>

namespace {

struct HandleCloser {
    void operator()(mpg123_handle* handle) const {
        mpg123_close(handle);
        mpg123_delete(handle);
    }
};

}  // namespace

DecodedTrack::DecodedTrack(const std::string& path) {
    int error = MPG123_OK;
    const std::unique_ptr<mpg123_handle, HandleCloser> handle(mpg123_new(nullptr, &error));
    if (!handle) {
        throw std::runtime_error("mpg123_new failed");
    }
    mpg123_param(handle.get(), MPG123_ADD_FLAGS, MPG123_GAPLESS | MPG123_QUIET, 0.0);
    mpg123_format_none(handle.get());
    for (const long candidate : {44100L, 48000L, 32000L, 22050L}) {
        mpg123_format(handle.get(), candidate, MPG123_MONO | MPG123_STEREO, MPG123_ENC_FLOAT_32);
    }
    if (mpg123_open(handle.get(), path.c_str()) != MPG123_OK) {
        throw std::runtime_error("cannot open " + path);
    }
    int encoding = 0;
    if (mpg123_getformat(handle.get(), &rate, &channelCount, &encoding) != MPG123_OK) {
        throw std::runtime_error("no MP3 stream in " + path);
    }
    std::vector<float> chunk(16384);
    for (;;) {
        std::size_t bytes = 0;
        const int result = mpg123_read(handle.get(), chunk.data(), chunk.size() * sizeof(float), &bytes);
        samples.insert(samples.end(), chunk.begin(), chunk.begin() + static_cast<long>(bytes / sizeof(float)));
        if (result == MPG123_DONE) {
            break;
        }
        if (result != MPG123_OK && result != MPG123_NEW_FORMAT) {
            throw std::runtime_error("decoding failed in " + path);
        }
    }
}

double DecodedTrack::seconds() const {
    return static_cast<double>(samples.size()) / channelCount / rate;
}

float DecodedTrack::peak() const {
    float largest = 0.0f;
    for (const float sample : samples) {
        largest = std::max(largest, std::fabs(sample));
    }
    return largest;
}

std::vector<float> DecodedTrack::mid() const {
    std::vector<float> signal(samples.size() / channelCount);
    for (std::size_t frame = 0; frame < signal.size(); ++frame) {
        float sum = 0.0f;
        for (int channel = 0; channel < channelCount; ++channel) {
            sum += samples[frame * channelCount + channel];
        }
        signal[frame] = sum / channelCount;
    }
    return signal;
}

double DecodedTrack::sideRms() const {
    if (channelCount != 2) {
        return 0.0;
    }
    double sum = 0.0;
    for (std::size_t i = 0; i + 1 < samples.size(); i += 2) {
        const double side = 0.5 * (samples[i] - samples[i + 1]);
        sum += side * side;
    }
    return std::sqrt(sum / (samples.size() / 2));
}

double rmsOf(const std::vector<float>& signal, long sampleRate, double from, double to) {
    const std::size_t first = std::min(signal.size(), static_cast<std::size_t>(std::max(0.0, from) * sampleRate));
    const std::size_t last = std::min(signal.size(), static_cast<std::size_t>(std::max(0.0, to) * sampleRate));
    if (last <= first) {
        return 0.0;
    }
    double sum = 0.0;
    for (std::size_t i = first; i < last; ++i) {
        sum += static_cast<double>(signal[i]) * signal[i];
    }
    return std::sqrt(sum / (last - first));
}

double energyRiseAt(const std::vector<float>& signal, long sampleRate, double cueSeconds) {
    const double before = rmsOf(signal, sampleRate, cueSeconds - 0.200, cueSeconds - 0.050);
    const double after = rmsOf(signal, sampleRate, cueSeconds + 0.050, cueSeconds + 0.075);
    return after / std::max(before, 1e-9);
}
