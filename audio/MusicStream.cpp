#include "audio/MusicStream.h"

#include "base/Soundtrack.h"

#include <fcntl.h>
#include <mpg123.h>
#include <sys/stat.h>
#include <unistd.h>
#ifndef _WIN32
#include <poll.h>
#endif

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>

namespace {

constexpr int channels = mixChannels;
constexpr int bytesPerFrame = channels * sizeof(std::int16_t);

// Past damage the decoder looks this far for the next good frame, and one
// decode allows one such search: searching is slow (about half a microsecond
// a byte through zeros), so a long stretch of junk is crossed a little at a
// time, and whoever decodes hears back often.
constexpr long resyncLimitBytes = 1024;
constexpr int searchesPerFill = 1;

// The shortest MPEG audio frame: Layer III at 8 kbit/s and 24 kHz.
constexpr off_t minFrameBytes = 24;

// A decoder that keeps its warnings to itself.
mpg123_handle* newQuietDecoder() {
    mpg123_handle* decoder = mpg123_new(nullptr, nullptr);
    if (decoder != nullptr) mpg123_param(decoder, MPG123_ADD_FLAGS, MPG123_QUIET, 0.0);
    return decoder;
}

#ifdef _WIN32
// Windows has no FIFOs or devices among the files a demo is handed: a file is
// there, in full, or not at all. It is read in binary mode.
bool waitForData(int) { return true; }

int openWhenReadable(const char* fileName) {
    const int fd = ::open(fileName, O_RDONLY | O_BINARY);
    if (fd < 0) return -1;
    struct stat status {};
    if (fstat(fd, &status) == 0 && !S_ISDIR(status.st_mode)) return fd;
    ::close(fd);
    return -1;
}
#else
// How long opening the file, and each later read from it, waits for data. A
// FIFO nobody writes to, or a device that gives nothing, would otherwise hold
// the demo up for ever.
constexpr int dataWaitMs = 1000;

// Waits up to dataWaitMs for something to read: false when nothing came, or
// when the other end has gone away with nothing left to read.
bool waitForData(int fd) {
    using namespace std::chrono;
    const steady_clock::time_point deadline = steady_clock::now() + milliseconds(dataWaitMs);
    pollfd request{fd, POLLIN, 0};
    for (;;) {
        const auto left = duration_cast<milliseconds>(deadline - steady_clock::now()).count();
        const int ready = poll(&request, 1, int(std::max<decltype(left)>(left, 0)));
        if (ready > 0) return (request.revents & POLLIN) != 0;
        if (ready == 0 || errno != EINTR) return false;
    }
}

// Opens the file for reading once it has data: -1 when it cannot be opened,
// is a directory, or gives nothing within dataWaitMs. The open itself does not
// wait, which a plain open of a FIFO with no writer would do for ever; a
// socket cannot be opened at all. The descriptor returned blocks as usual.
int openWhenReadable(const char* fileName) {
    const int fd = ::open(fileName, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return -1;
    struct stat status {};
    const int flags = fcntl(fd, F_GETFL);
    if (fstat(fd, &status) == 0 && !S_ISDIR(status.st_mode) && waitForData(fd) && flags != -1 &&
        fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) == 0)
        return fd;
    ::close(fd);
    return -1;
}
#endif

// The file the decoder reads. A regular file always has data (or its end) at
// hand; anything else, such as a FIFO, may not.
struct OpenFile {
    int fd;
    bool mayStall;
};

// The decoder's reads: a read that finds nothing for dataWaitMs is the end of
// the file, so a writer that stops feeding a FIFO ends the music instead of
// holding up the audio device. A regular file is read without the wait, which
// would cost a system call for each of the many small reads through junk.
mpg123_ssize_t readFile(void* handle, void* buffer, size_t bytes) {
    const OpenFile& file = *static_cast<OpenFile*>(handle);
    if (file.mayStall && !waitForData(file.fd)) return 0;
    ssize_t got = 0;
    do {
        got = ::read(file.fd, buffer, bytes);
    } while (got < 0 && errno == EINTR);
    return got;
}

off_t seekFile(void* handle, off_t offset, int whence) {
    return ::lseek(static_cast<OpenFile*>(handle)->fd, offset, whence);
}

// Called by mpg123_close and mpg123_delete: the decoder owns the descriptor.
void closeFile(void* handle) {
    OpenFile* file = static_cast<OpenFile*>(handle);
    ::close(file->fd);
    delete file;
}

// Reads the format, which decodes up to the first valid frame: false for a
// file with no MPEG audio in it.
bool findsAudio(mpg123_handle* decoder) {
    long rate = 0;
    int channelCount = 0;
    int encoding = 0;
    return mpg123_getformat(decoder, &rate, &channelCount, &encoding) == MPG123_OK;
}

// A LAME or Xing header may claim any number of frames. A decoder that
// resamples counts its output frame by frame up to that number, on opening and
// whenever it is asked for the length, so a damaged header claiming billions
// of frames would hold the demo up for many seconds, even when no audio
// follows it. A decoder that does not resample looks at the file first: it
// turns away a file with no MPEG audio in it, and a claim of more frames than
// the file can hold is then ignored.
enum class FrameCount { plausible, tooManyClaimed, noAudio };

bool isRegularFile(int fd) {
    struct stat status {};
    return fstat(fd, &status) == 0 && S_ISREG(status.st_mode);
}

FrameCount checkFrameCount(int fd) {
    struct stat status {};
    // Only a regular file can be read twice; a pipe would lose what the
    // check read.
    if (fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) return FrameCount::plausible;
    mpg123_handle* probe = newQuietDecoder();
    if (probe == nullptr) return FrameCount::plausible;
    FrameCount frameCount = FrameCount::noAudio;
    // mpg123_open_fd leaves the descriptor open when the probe closes.
    if (mpg123_open_fd(probe, fd) == MPG123_OK && findsAudio(probe)) {
        const bool tooMany = mpg123_framelength(probe) > status.st_size / minFrameBytes;
        frameCount = tooMany ? FrameCount::tooManyClaimed : FrameCount::plausible;
    }
    mpg123_close(probe);
    mpg123_delete(probe);
    if (lseek(fd, 0, SEEK_SET) != 0) return FrameCount::noAudio;
    return frameCount;
}

}  // namespace

std::unique_ptr<MusicStream> MusicStream::open(const char* fileName, int mixRate) {
    const int fd = openWhenReadable(fileName);
    if (fd < 0) return nullptr;
    const FrameCount frameCount = checkFrameCount(fd);
    mpg123_handle* decoder = frameCount == FrameCount::noAudio ? nullptr : newQuietDecoder();
    if (decoder == nullptr) {
        ::close(fd);
        return nullptr;
    }
    // Only 16-bit stereo at the mixing rate: mpg123 resamples and spreads mono
    // to both channels as needed.
    mpg123_format_none(decoder);
    mpg123_format(decoder, mixRate, MPG123_STEREO, MPG123_ENC_SIGNED_16);
    if (frameCount == FrameCount::tooManyClaimed)
        mpg123_param(decoder, MPG123_ADD_FLAGS, MPG123_IGNORE_STREAMLENGTH, 0.0);
    // From here the decoder closes the descriptor, also when opening fails.
    mpg123_replace_reader_handle(decoder, readFile, seekFile, closeFile);
    if (mpg123_open_handle(decoder, new OpenFile{fd, !isRegularFile(fd)}) != MPG123_OK || !findsAudio(decoder)) {
        mpg123_delete(decoder);
        return nullptr;
    }
    mpg123_param(decoder, MPG123_RESYNC_LIMIT, resyncLimitBytes, 0.0);
    return std::unique_ptr<MusicStream>(new MusicStream(decoder, mixRate));
}

MusicStream::MusicStream(mpg123_handle* decoder, int mixRate) : decoder(decoder), mixRate(mixRate) {}

MusicStream::~MusicStream() {
    mpg123_close(decoder);
    mpg123_delete(decoder);
}

void MusicStream::seek(std::uint32_t positionMs) {
    const std::uint64_t frame = std::uint64_t(positionMs) * std::uint64_t(mixRate) / 1000;
    musicOver = mpg123_seek(decoder, off_t(frame), SEEK_SET) < 0;
}

void MusicStream::fill(std::int16_t* out, int frames) {
    const int decoded = decode(out, frames);
    std::fill(out + decoded * channels, out + frames * channels, std::int16_t(0));
}

int MusicStream::decode(std::int16_t* out, int frames) {
    if (musicOver) return 0;
    auto* bytes = reinterpret_cast<unsigned char*>(out);
    const size_t wanted = size_t(frames) * bytesPerFrame;
    size_t filled = 0;
    int searches = 0;
    while (filled < wanted && searches < searchesPerFill) {
        size_t got = 0;
        const int result = mpg123_read(decoder, bytes + filled, wanted - filled, &got);
        filled += got;
        if (result == MPG123_DONE) {
            musicOver = true;  // the rest is silence
            break;
        }
        // Damage: the decoder has skipped what it could not read and goes on
        // from the next good frame on the following read.
        if (result != MPG123_OK && result != MPG123_NEW_FORMAT) ++searches;
    }
    // A whole frame: the decoder hands out complete stereo samples only.
    return int(filled / bytesPerFrame);
}

std::uint32_t MusicStream::lengthMs() const {
    const off_t frames = mpg123_length(decoder);
    if (frames <= 0) return 0;
    return std::uint32_t(std::uint64_t(frames) * 1000 / std::uint64_t(mixRate));
}
