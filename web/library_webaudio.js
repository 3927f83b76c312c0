// The soundtrack in the browser's own terms, for WebAudioClock: the page
// fetches Quietfall.MP3 and decodes it with the Web Audio API as soon as it
// loads, opens an audio context when the viewer starts the show (browsers
// start sound only after a user gesture), and the clock plays the decoded
// music with an AudioBufferSourceNode once the context runs, and reads the
// context's clocks.
mergeInto(LibraryManager.library, {
  $TidewashAudio: {
    buffer: null,
    context: null,
    loading: null,
    latencySeconds: 0,
    latencyKnown: false,
    latencyReadAt: -Infinity,
    stampsRead: false,
    // Firefox's output latency through a sound server on Linux, about the
    // middle of what it reported here (26 to 54 ms through PulseAudio, from
    // one play to the next, whatever latencyHint asked). Firefox can
    // deadlock for good inside any call that asks for it (outputLatency,
    // getOutputTimestamp): a single read as late as 2 s into the show still
    // froze 1 play in 30, and with no read none in 30 froze
    // (tests/web/latency_reads.js). A page that stops for good is worse than
    // sound a little off the picture, so the page never asks Firefox, and
    // takes this instead.
    firefoxLatencySeconds: 0.038,

    // Fetches and decodes the soundtrack; the promise resolves to whether it
    // could. Decoding needs no running audio context, so it uses an offline
    // one at the file's rate and can start before any user gesture.
    load: function(url) {
      TidewashAudio.loading = fetch(url)
        .then(function(response) {
          if (!response.ok) throw new Error(url + ': HTTP ' + response.status);
          return response.arrayBuffer();
        })
        .then(function(bytes) {
          return new OfflineAudioContext(2, 1, 44100).decodeAudioData(bytes);
        })
        .then(function(buffer) {
          TidewashAudio.buffer = buffer;
          return true;
        }, function() {
          return false;
        });
      return TidewashAudio.loading;
    },

    // Opens the audio context, or asks a suspended one to run again; call it
    // from the user's gestures.
    open: function() {
      if (!TidewashAudio.context) {
        TidewashAudio.context = new AudioContext();
        var firefox = /Firefox\//.test(navigator.userAgent);
        TidewashAudio.stampsRead = !firefox;
        TidewashAudio.latencyKnown = firefox;
        if (firefox) TidewashAudio.latencySeconds = TidewashAudio.firefoxLatencySeconds;
      }
      if (TidewashAudio.context.state !== 'running') TidewashAudio.context.resume().catch(function() {});
    },

    // Plays the soundtrack from fromSeconds on, leadSeconds of context time
    // from now; the context time it starts at.
    play: function(fromSeconds, leadSeconds) {
      var context = TidewashAudio.context;
      var source = context.createBufferSource();
      source.buffer = TidewashAudio.buffer;
      source.connect(context.destination);
      var startTime = context.currentTime + leadSeconds;
      source.start(startTime, Math.min(fromSeconds, TidewashAudio.buffer.duration));
      return startTime;
    },

    // Writes what the context tells now, in the order of AudioReading's
    // fields: running, currentTime, the output timestamp's context time and
    // moment (0 when there is none), baseLatency + outputLatency, and now.
    // The latency is read when the context first runs, and then every
    // quarter of a second until the stream reports its output latency, never
    // again after; in Firefox neither it nor the output timestamp is read at
    // all (see firefoxLatencySeconds). The latency of an open stream does not
    // change, and Firefox's stamp would be its currentTime less that latency.
    read: function(fields) {
      var context = TidewashAudio.context;
      var at = fields >> 3;
      var now = performance.now();
      HEAPF64.fill(0, at, at + 6);
      HEAPF64[at + 5] = now;
      if (!context) return;
      var running = context.state === 'running' && context.currentTime > 0;
      HEAPF64[at] = running ? 1 : 0;
      HEAPF64[at + 1] = context.currentTime;
      if (context.getOutputTimestamp && TidewashAudio.stampsRead) {
        var stamp = context.getOutputTimestamp();
        if (stamp.performanceTime > 0 && stamp.contextTime > 0) {
          HEAPF64[at + 2] = stamp.contextTime;
          HEAPF64[at + 3] = stamp.performanceTime;
        }
      }
      if (running && !TidewashAudio.latencyKnown && now - TidewashAudio.latencyReadAt >= 250) {
        var output = context.outputLatency || 0;
        TidewashAudio.latencySeconds = (context.baseLatency || 0) + output;
        TidewashAudio.latencyKnown = output > 0 || !('outputLatency' in context);
        TidewashAudio.latencyReadAt = now;
      }
      HEAPF64[at + 4] = TidewashAudio.latencySeconds;
    }
  },
  $TidewashAudio__postset: 'Module["tidewashAudio"] = TidewashAudio;',

  tidewash_audio_has_soundtrack__deps: ['$TidewashAudio'],
  tidewash_audio_has_soundtrack: function() {
    return TidewashAudio.buffer ? 1 : 0;
  },

  tidewash_audio_read__deps: ['$TidewashAudio'],
  tidewash_audio_read: function(fields) {
    TidewashAudio.read(fields);
  },

  tidewash_audio_play__deps: ['$TidewashAudio'],
  tidewash_audio_play: function(fromSeconds, leadSeconds) {
    return TidewashAudio.play(fromSeconds, leadSeconds);
  }
});
