#pragma once

#include "tools/soundtrack/StereoBuffer.h"

// The last steps from a mix to a finished track.

// Removes any DC offset with a high-pass well below hearing.
void removeDcOffset(StereoBuffer& buffer, float sampleRate);

// Fades in over the first few milliseconds and out, on a cosine curve,
// from fadeStartSeconds to the end.
void applyFades(StereoBuffer& buffer, float sampleRate, double fadeStartSeconds);

// Scales the buffer so that its largest absolute sample equals peak.
void normalisePeak(StereoBuffer& buffer, float peak);

// Brings every sample under the threshold with a look-ahead gain curve that
// moves in straight ramps (no steps, so no clicks): it falls over lookAhead
// seconds before a peak and recovers over release seconds after it.
void limitPeaks(StereoBuffer& buffer, float threshold, float sampleRate, float lookAhead, float release);
