#pragma once

// The soundtrack as every program knows it: the file the demo reads from its
// working directory, the message when it cannot, and the sample format the
// music is decoded, played and recorded in (16-bit stereo at the mix rate).
inline constexpr const char* soundtrackFile = "Quietfall.MP3";
inline constexpr const char* missingSoundtrackMessage = "Cannot find file quietfall.mp3!";
inline constexpr int mixRate = 44100;
inline constexpr int mixChannels = 2;
