#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "capture/CaptureOptions.h"
#include "capture/ChildProcess.h"
#include "capture/FrameOutput.h"

class MusicStream;

// Frames as a video with the soundtrack, made by Debian's ffmpeg: H.264 in
// MP4 (yuv420p, BT.709 and tagged so, as video sites and players expect HD
// video) with AAC sound, or for an archive FFV1 in Matroska, lossless RGB,
// with FLAC sound. Frames go to one ffmpeg through a pipe while the capture
// renders the next ones; at the end a second, short run puts the soundtrack
// under the video, cut from the music at startMs for exactly the length of
// the video.
class Mp4Video : public FrameOutput {
public:
    Mp4Video(std::string workFolder, int width, int height, FrameRate rate, bool lossless, MusicStream& soundtrack,
             std::uint32_t startMs);

    int parallelWrites() const override { return 1; }
    void write(const Image& image, const std::vector<std::string>& names) override;

    // Stops early, with nothing finished, when a signal asks the capture to
    // stop.
    void finish(std::uint64_t framesWritten) override;

    // The finished file inside the work folder.
    std::string resultPath() const;

private:
    void writeSoundtrack(std::uint64_t frames, const std::string& path);

    std::string workFolder;
    FrameRate rate;
    bool lossless;
    MusicStream& soundtrack;
    std::uint32_t startMs;
    ChildProcess encoder;
};
