#pragma once

// Ctrl-C and SIGTERM during a capture: the handler only notes the signal,
// and the capture stops at the end of the frame it is drawing (or at once
// while ffmpeg finishes the video), removes what it wrote and exits with
// 128 + the signal's number.
namespace interruption {

void catchSignals();

// The signal that asked the capture to stop; 0 while none has.
int signalNumber();

}  // namespace interruption
