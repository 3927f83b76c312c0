#pragma once

#include <cstdint>
#include <memory>

struct mpg123_handle_struct;

// An MP3 file decoded on demand into 16-bit stereo at the mixing rate. Reading
// the file may wait (up to a second for a FIFO that gives nothing), so only a
// thread that may wait decodes: the demo's decode-ahead thread (MusicFeed),
// the capture program and the benchmarks.
class MusicStream {
public:
    // Null when the file is missing, unreadable, or holds no MPEG audio that
    // decodes.
    static std::unique_ptr<MusicStream> open(const char* fileName, int mixRate);

    ~MusicStream();
    MusicStream(const MusicStream&) = delete;
    MusicStream& operator=(const MusicStream&) = delete;

    // Decoding goes on from positionMs.
    void seek(std::uint32_t positionMs);

    // Writes `frames` stereo frames to `out`: decoded music, then silence.
    void fill(std::int16_t* out, int frames);

    // Writes up to `frames` stereo frames of music to `out` and returns how
    // many: fewer, even none, past damage in the file or at its end.
    int decode(std::int16_t* out, int frames);

    // Whether the music has ended: nothing more will decode until a seek.
    bool over() const { return musicOver; }

    // Length of the music as the file describes it, 0 if unknown.
    std::uint32_t lengthMs() const;

private:
    MusicStream(mpg123_handle_struct* decoder, int mixRate);

    mpg123_handle_struct* decoder;
    int mixRate;
    bool musicOver = false;
};
