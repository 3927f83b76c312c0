#include "capture/Mp4Video.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include "audio/MusicStream.h"
#include "base/Failure.h"
#include "base/Soundtrack.h"
#include "capture/Interruption.h"

namespace {


using Arguments = std::vector<std::string>;

Arguments joined(Arguments first, const Arguments& second) {
    first.insert(first.end(), second.begin(), second.end());
    return first;
}

const Arguments ffmpeg = {"ffmpeg", "-nostdin", "-hide_banner", "-loglevel", "error", "-y"};

// H.264 in the BT.709 matrix at limited range, as players read HD video, and
// tagged so that they need not guess at any size.
const Arguments h264 = {"-vf", "scale=out_color_matrix=bt709:out_range=tv,format=yuv420p",
                        "-c:v", "libx264", "-preset", "veryfast", "-crf", "18",
                        "-colorspace", "bt709", "-color_primaries", "bt709", "-color_trc", "bt709",
                        "-color_range", "tv"};

// FFV1 version 3 on RGB: every frame a key frame with checksums on
// its slices, as archives keep video; the frames exactly as rendered, in
// sRGB.
const Arguments ffv1 = {"-c:v", "ffv1", "-level", "3", "-g", "1", "-slices", "4", "-slicecrc", "1",
                        "-pix_fmt", "bgr0",
                        "-colorspace", "rgb", "-color_primaries", "bt709", "-color_trc", "iec61966-2-1",
                        "-color_range", "pc"};

std::string extension(bool lossless) { return lossless ? "mkv" : "mp4"; }

Arguments encoderCommand(const std::string& folder, int width, int height, const FrameRate& rate, bool lossless) {
    const Arguments input = {"-f", "rawvideo", "-pix_fmt", "rgb24",
                             "-video_size", std::to_string(width) + "x" + std::to_string(height),
                             "-framerate", rate.text(), "-i", "pipe:0"};
    return joined(joined(joined(ffmpeg, input), lossless ? ffv1 : h264),
                  {"-f", lossless ? "matroska" : "mp4", folder + "/picture." + extension(lossless)});
}

Arguments muxCommand(const std::string& folder, bool lossless) {
    const Arguments inputs = {"-i", folder + "/picture." + extension(lossless),
                              "-f", "s16le", "-ar", std::to_string(mixRate), "-ac", std::to_string(mixChannels),
                              "-i", folder + "/sound.pcm", "-map", "0:v", "-map", "1:a", "-c:v", "copy"};
    // The AAC coder's fast search: at 192 kbit/s it sounds the same and takes
    // half the time of the default, which the capture would wait for at the
    // end.
    const Arguments sound = lossless ? Arguments{"-c:a", "flac", "-f", "matroska"}
                                     : Arguments{"-c:a", "aac", "-aac_coder", "fast", "-b:a", "192k",
                                                 "-movflags", "+faststart", "-f", "mp4"};
    return joined(joined(joined(ffmpeg, inputs), sound), {folder + "/video." + extension(lossless)});
}

}  // namespace

Mp4Video::Mp4Video(std::string workFolder, int width, int height, FrameRate rate, bool lossless,
                   MusicStream& soundtrack, std::uint32_t startMs)
    : workFolder(workFolder), rate(rate), lossless(lossless), soundtrack(soundtrack), startMs(startMs),
      encoder(encoderCommand(workFolder, width, height, rate, lossless), workFolder + "/encoder.log", true) {}

std::string Mp4Video::resultPath() const { return workFolder + "/video." + extension(lossless); }

void Mp4Video::write(const Image& image, const std::vector<std::string>&) {
    encoder.send(image.rgb.data(), image.rgb.size());
}

void Mp4Video::finish(std::uint64_t framesWritten) {
    encoder.finish();
    if (interruption::signalNumber() != 0) return;
    const std::string sound = workFolder + "/sound.pcm";
    writeSoundtrack(framesWritten, sound);
    if (interruption::signalNumber() != 0) return;
    ChildProcess muxer(muxCommand(workFolder, lossless), workFolder + "/muxer.log", false);
    muxer.finish();
}

// The music from startMs on, as long as the video: frames x denominator /
// numerator seconds, to the nearest sample. Past the music's end the stream
// gives silence.
void Mp4Video::writeSoundtrack(std::uint64_t frames, const std::string& path) {
    std::FILE* const file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) throw Failure("cannot write " + path + ": " + std::strerror(errno));
    soundtrack.seek(startMs);
    const std::uint64_t perSecond = rate.numerator;
    std::uint64_t samplesLeft = (frames * mixRate * rate.denominator + perSecond / 2) / perSecond;
    std::vector<std::int16_t> chunk(4096 * mixChannels);
    bool written = true;
    while (samplesLeft > 0 && written && interruption::signalNumber() == 0) {
        const int samples = int(std::min<std::uint64_t>(samplesLeft, 4096));
        soundtrack.fill(chunk.data(), samples);
        written = std::fwrite(chunk.data(), sizeof(std::int16_t) * mixChannels, std::size_t(samples), file) ==
                  std::size_t(samples);
        samplesLeft -= std::uint64_t(samples);
    }
    const int writeError = errno;
    const bool closed = std::fclose(file) == 0;
    if (!written) errno = writeError;
    if (!written || !closed) throw Failure("cannot write " + path + ": " + std::strerror(errno));
}
