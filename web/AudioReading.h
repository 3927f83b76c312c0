#pragma once

// What the page's sound tells at one moment (library_webaudio.js reads it):
// its audio context's clock, or in Firefox its audio element's position; and
// from that, which context time is heard at a given moment.
// Times in ms are the page's steady clock, performance.now().
struct AudioReading {
    bool running = false;               // the context runs (a device takes its sound)
    double contextSeconds = 0;          // its currentTime: the sound rendered so far
    double stampContextSeconds = 0;     // getOutputTimestamp(): this context time ...
    double stampMs = 0;                 // ... was at the output at this moment; 0 when not told
    double latencySeconds = 0;          // baseLatency + outputLatency, as the stream first reported it
    double nowMs = 0;                   // when the reading was taken
    // The context time is an audio element's position: the music heard, with
    // no latency to come off, moved on in steps (Firefox's, every 40 ms) and
    // so behind by as long as its step has stood when read.
    bool heardInSteps = false;

    // The context time heard from the speakers at atMs: the output timestamp
    // carried forward to atMs. A stamp that lags currentTime by most of the
    // reported latency is the engine's own word on what is heard (Chromium's);
    // one that does not has the reported latency yet to come off.
    // Without a stamp, currentTime carried forward less the latency.
    double heardSecondsAt(double atMs) const;
};
