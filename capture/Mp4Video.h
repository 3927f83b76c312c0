#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "capture/ChildProcess.h"
#include "capture/FrameOutput.h"

class MusicStream;

// Frames as H.264 video (yuv420p, which every player takes) with the
// soundtrack as AAC, made by Debian's ffmpeg. Frames go to one ffmpeg through
// a pipe while the capture renders the next ones; at the end a second, short
// run puts the soundtrack under the video, cut from the music at fromMs for
// exactly the length of the video.
class Mp4Video : public FrameOutput {
public:
    Mp4Video(std::string workFolder, int width, int height, std::uint32_t fps, MusicStream& soundtrack,
             std::uint32_t fromMs);

    int parallelWrites() const override { return 1; }
    void write(const Image& image, const std::vector<std::string>& names) override;
    void finish(std::uint64_t framesWritten) override;

    // The finished file inside the work folder.
    std::string resultPath() const { return workFolder + "/video.mp4"; }

private:
    void writeSoundtrack(std::uint64_t frames, const std::string& path);

    std::string workFolder;
    std::uint32_t fps;
    MusicStream& soundtrack;
    std::uint32_t fromMs;
    ChildProcess encoder;
};
