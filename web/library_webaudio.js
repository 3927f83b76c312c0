// The soundtrack in the browser's own terms, for WebAudioClock: the page
// fetches Quietfall.MP3 and decodes it with the Web Audio API as soon as it
// loads (a file that will not decode fails the show), opens an audio context
// when the viewer starts the show (browsers start sound only after a user
// gesture), and the clock plays the music once the context runs, and reads
// where it is.
//
// Chromium plays the decoded music with an AudioBufferSourceNode and tells
// what is heard through the context's output timestamp and latency.
// Firefox plays it with an audio element instead. Firefox can deadlock for
// good inside any call that asks a running context for its latency
// (outputLatency, getOutputTimestamp): a single read 2 s into the show still
// froze 1 play in 30 (tests/web/latency_reads.js), and without the latency
// its context's clock is what it has rendered, tens of ms ahead of what is
// heard. An audio element's position is what the sound server says is heard,
// and reading it waits on nothing. In Firefox the context only tells whether
// a device takes sound at all, and closes once it has.
mergeInto(LibraryManager.library, {
  $TidewashAudio: {
    buffer: null,
    loading: null,
    context: null,
    latencySeconds: 0,
    latencyKnown: false,
    latencyReadAt: -Infinity,
    // Firefox's: the audio element, whether a device took sound, and the
    // element's position when it was asked to play.
    byElement: false,
    element: null,
    deviceRuns: false,
    playedFrom: -1,

    // Fetches and decodes the soundtrack; the promise resolves to whether it
    // could. Decoding needs no running audio context, so it uses an offline
    // one at the file's rate and can start before any user gesture.
    load: function(url) {
      TidewashAudio.byElement = /Firefox\//.test(navigator.userAgent);
      TidewashAudio.loading = fetch(url)
        .then(function(response) {
          if (!response.ok) throw new Error(url + ': HTTP ' + response.status);
          return response.arrayBuffer();
        })
        .then(function(bytes) {
          // Decoding takes the bytes over; the element gets a copy first.
          if (TidewashAudio.byElement) {
            TidewashAudio.element = new Audio(URL.createObjectURL(new Blob([bytes], { type: 'audio/mpeg' })));
            TidewashAudio.element.preload = 'auto';
          }
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

    // Opens the audio context, or asks a suspended one to run again; in
    // Firefox also plays the audio element again if it was held back. Call it
    // from the user's gestures.
    open: function() {
      var element = TidewashAudio.element;
      if (element && TidewashAudio.playedFrom >= 0 && element.paused && !element.ended) element.play().catch(function() {});
      if (TidewashAudio.byElement && TidewashAudio.deviceRuns) return;
      if (!TidewashAudio.context) TidewashAudio.context = new AudioContext();
      if (TidewashAudio.context.state !== 'running') TidewashAudio.context.resume().catch(function() {});
    },

    // Plays the soundtrack from fromSeconds on; the context time it starts
    // at: leadSeconds of context time from now, or in Firefox, where the
    // element's position is the music's, fromSeconds.
    play: function(fromSeconds, leadSeconds) {
      var element = TidewashAudio.element;
      if (TidewashAudio.byElement) {
        element.currentTime = fromSeconds;
        TidewashAudio.playedFrom = element.currentTime;
        element.play().catch(function() {});
        return fromSeconds;
      }
      var context = TidewashAudio.context;
      var source = context.createBufferSource();
      source.buffer = TidewashAudio.buffer;
      source.connect(context.destination);
      var startTime = context.currentTime + leadSeconds;
      source.start(startTime, Math.min(fromSeconds, TidewashAudio.buffer.duration));
      return startTime;
    },

    // Writes what the sound tells now, in the order of AudioReading's
    // fields: running, the context time, the output timestamp's context
    // time and moment (0 when there is none), baseLatency + outputLatency,
    // now, and whether the time is an audio element's heard position.
    read: function(fields) {
      var at = fields >> 3;
      var now = performance.now();
      HEAPF64.fill(0, at, at + 7);
      HEAPF64[at + 5] = now;
      if (TidewashAudio.byElement) {
        if (TidewashAudio.element) TidewashAudio.readElement(at);
      } else if (TidewashAudio.context) {
        TidewashAudio.readContext(at, now);
      }
    },

    // The context's currentTime, its output timestamp and its latency. The
    // latency is read when the context first runs, and then every quarter of
    // a second until the stream reports its output latency, never again
    // after: the latency of an open stream does not change.
    readContext: function(at, now) {
      var context = TidewashAudio.context;
      var running = context.state === 'running' && context.currentTime > 0;
      HEAPF64[at] = running ? 1 : 0;
      HEAPF64[at + 1] = context.currentTime;
      if (context.getOutputTimestamp) {
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
    },

    // The element's position. Before it is asked to play, it runs once a
    // device has taken the context's sound and the element can play; after,
    // once its position has moved and while it plays (the music outlasts the
    // show).
    readElement: function(at) {
      var element = TidewashAudio.element;
      var context = TidewashAudio.context;
      if (!TidewashAudio.deviceRuns && context && context.state === 'running' && context.currentTime > 0) {
        TidewashAudio.deviceRuns = true;
        context.close().catch(function() {});
      }
      var running = TidewashAudio.playedFrom < 0
        ? TidewashAudio.deviceRuns && element.readyState >= HTMLMediaElement.HAVE_FUTURE_DATA
        : element.currentTime !== TidewashAudio.playedFrom && !element.paused;
      HEAPF64[at] = running ? 1 : 0;
      HEAPF64[at + 1] = element.currentTime;
      HEAPF64[at + 6] = 1;
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
