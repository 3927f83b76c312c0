#pragma once

// What the page's audio context tells at one moment (library_webaudio.js
// reads it), and from that, which context time is heard at a given moment.
// Times in ms are the page's steady clock, performance.now().
struct AudioReading {
    bool running = false;               // the context runs (a device takes its sound)
    double contextSeconds = 0;          // its currentTime: the sound rendered so far
    double stampContextSeconds = 0;     // getOutputTimestamp(): this context time ...
    double stampMs = 0;                 // ... was at the output at this moment; 0 when not told
    double latencySeconds = 0;          // baseLatency + outputLatency, as reported
    double nowMs = 0;                   // when the reading was taken

    // The context time heard from the speakers at atMs: the output timestamp
    // carried forward to atMs, less whatever part of the reported latency it
    // does not already hold (Chromium's stamp lags currentTime by the output
    // latency; Firefox's does not). Without a stamp, currentTime carried
    // forward less the reported latency.
    double heardSecondsAt(double atMs) const;
};
