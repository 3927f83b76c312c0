// The soundtrack in the browser's own terms, for WebAudioClock: the page
// fetches Quietfall.MP3 and decodes it with the Web Audio API as soon as it
// loads, opens an audio context when the viewer starts the show (browsers
// start sound only after a user gesture), and the clock plays the decoded
// music from 0 with an AudioBufferSourceNode and reads its position from the
// context's clock.
mergeInto(LibraryManager.library, {
  $TidewashAudio: {
    buffer: null,
    context: null,
    startTime: 0,
    loading: null,

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

    // Opens the audio context; call it from the user's gesture.
    open: function() {
      if (TidewashAudio.context) return;
      TidewashAudio.context = new AudioContext();
      TidewashAudio.context.resume();
    },

    // Plays the soundtrack from 0; false when there is none to play.
    play: function() {
      var context = TidewashAudio.context;
      if (!TidewashAudio.buffer || !context) return false;
      var source = context.createBufferSource();
      source.buffer = TidewashAudio.buffer;
      source.connect(context.destination);
      TidewashAudio.startTime = context.currentTime;
      source.start(TidewashAudio.startTime);
      return true;
    },

    // The context time of the sound leaving the speakers now. The output
    // timestamp says which context time was heard at which moment; carried
    // forward to now, it is never ahead of the context's own clock. Before
    // the browser reports one, the context's clock less its latencies.
    heardTime: function() {
      var context = TidewashAudio.context;
      var latest = context.currentTime;
      if (context.getOutputTimestamp) {
        var stamp = context.getOutputTimestamp();
        if (stamp.performanceTime > 0 && stamp.contextTime > 0) {
          var carried = stamp.contextTime + (performance.now() - stamp.performanceTime) / 1000;
          return Math.min(latest, carried);
        }
      }
      return latest - (context.baseLatency || 0) - (context.outputLatency || 0);
    },

    // Seconds of music heard since play(); negative while the first sound is
    // still on its way to the speakers.
    seconds: function() {
      if (!TidewashAudio.context) return 0;
      return TidewashAudio.heardTime() - TidewashAudio.startTime;
    }
  },
  $TidewashAudio__postset: 'Module["tidewashAudio"] = TidewashAudio;',

  tidewash_audio_play__deps: ['$TidewashAudio'],
  tidewash_audio_play: function() {
    return TidewashAudio.play() ? 1 : 0;
  },

  tidewash_audio_seconds__deps: ['$TidewashAudio'],
  tidewash_audio_seconds: function() {
    return TidewashAudio.seconds();
  }
});
