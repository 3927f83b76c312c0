#pragma once

#include <cstdint>

class MusicStream;

// The demo's audio library: MP3 streams decoded ahead with libmpg123 and
// played through a sound server (libpulse) or SDL audio, with a play position
// that serves as the demo's clock. Reading a position never waits on the
// sound. Without a sound device, or with one that does not start within a
// second, the positions run in real time, so the demo plays on in step.
namespace audio {

// Starts audio at mixRate Hz; false when no sound device could be opened.
bool init(int mixRate);

// Stops playback and frees every stream.
void close();

// Opens an MP3 file as a stream; null when it cannot be read or decoded. The
// audio layer owns the stream until close().
MusicStream* openStream(const char* fileName);

void setStreamTime(MusicStream* stream, std::uint32_t positionMs);
void playStream(MusicStream* stream);

// The stream's play position in ms; 0 for no stream.
std::uint32_t streamTime(MusicStream* stream);

}  // namespace audio
