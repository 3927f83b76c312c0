#pragma once

#include <cstdint>

class MusicStream;

// The demo's audio library: MP3 streams decoded with libmpg123 and played
// through SDL audio, with a play position that serves as the demo's clock.
// Without a sound device the streams still open and their positions run in
// real time, so the demo plays silently in step.
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
