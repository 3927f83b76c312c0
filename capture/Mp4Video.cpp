#include "capture/Mp4Video.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include "audio/MusicStream.h"
#include "runtime/Failure.h"

namespace {

constexpr int sampleRate = 44100;
constexpr int channels = 2;

std::vector<std::string> encoderCommand(const std::string& folder, int width, int height, std::uint32_t fps) {
    return {"ffmpeg", "-nostdin", "-hide_banner", "-loglevel", "error", "-y",
            "-f", "rawvideo", "-pix_fmt", "rgb24", "-video_size", std::to_string(width) + "x" + std::to_string(height),
            "-framerate", std::to_string(fps), "-i", "pipe:0",
            "-c:v", "libx264", "-preset", "veryfast", "-crf", "18", "-pix_fmt", "yuv420p",
            "-f", "mp4", folder + "/picture.mp4"};
}

std::vector<std::string> muxCommand(const std::string& folder) {
    return {"ffmpeg", "-nostdin", "-hide_banner", "-loglevel", "error", "-y",
            "-i", folder + "/picture.mp4",
            "-f", "s16le", "-ar", std::to_string(sampleRate), "-ac", std::to_string(channels), "-i", folder + "/sound.pcm",
            "-map", "0:v", "-map", "1:a", "-c:v", "copy", "-c:a", "aac", "-b:a", "192k",
            "-movflags", "+faststart", "-f", "mp4", folder + "/video.mp4"};
}

}  // namespace

Mp4Video::Mp4Video(std::string workFolder, int width, int height, std::uint32_t fps, MusicStream& soundtrack,
                   std::uint32_t fromMs)
    : workFolder(workFolder), fps(fps), soundtrack(soundtrack), fromMs(fromMs),
      encoder(encoderCommand(workFolder, width, height, fps), workFolder + "/encoder.log", true) {}

void Mp4Video::write(const Image& image, const std::vector<std::string>&) {
    encoder.send(image.rgb.data(), image.rgb.size());
}

void Mp4Video::finish(std::uint64_t framesWritten) {
    encoder.finish();
    const std::string sound = workFolder + "/sound.pcm";
    writeSoundtrack(framesWritten, sound);
    ChildProcess muxer(muxCommand(workFolder), workFolder + "/muxer.log", false);
    muxer.finish();
}

// The music from fromMs on, as long as the video: frames / fps seconds, to
// the nearest sample. Past the music's end the stream gives silence.
void Mp4Video::writeSoundtrack(std::uint64_t frames, const std::string& path) {
    std::FILE* const file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) throw Failure("cannot write " + path + ": " + std::strerror(errno));
    soundtrack.seek(fromMs);
    std::uint64_t samplesLeft = (frames * sampleRate + fps / 2) / fps;
    std::vector<std::int16_t> chunk(4096 * channels);
    bool written = true;
    while (samplesLeft > 0 && written) {
        const int samples = int(std::min<std::uint64_t>(samplesLeft, 4096));
        soundtrack.fill(chunk.data(), samples);
        written = std::fwrite(chunk.data(), sizeof(std::int16_t) * channels, std::size_t(samples), file) ==
                  std::size_t(samples);
        samplesLeft -= std::uint64_t(samples);
    }
    const int writeError = errno;
    const bool closed = std::fclose(file) == 0;
    if (!written) errno = writeError;
    if (!written || !closed) throw Failure("cannot write " + path + ": " + std::strerror(errno));
}
