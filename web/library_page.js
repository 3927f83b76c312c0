// What the web main, the browser frame end and the clock tell the page (its
// script sets Module.page) or ask it.
mergeInto(LibraryManager.library, {
  tidewash_page_frame_shown: function(positionMs) {
    Module['page'].frameShown(positionMs >>> 0);
  },

  // The time of the animation frame being drawn, on performance.now()'s
  // clock: the one the browser gives the frame's callbacks.
  tidewash_page_frame_ms: function() {
    var timeline = document.timeline;
    return timeline && timeline.currentTime !== null ? timeline.currentTime : performance.now();
  },

  tidewash_page_plays_silent: function(silent) {
    Module['page'].playsSilent(silent !== 0);
  },

  // Whether the canvas has no WebGL context; if so, why, into reason.
  tidewash_page_webgl_missing: function(reason, size) {
    if (Module['ctx']) return 0;
    var why = Module['page'].webglFailure() || 'this browser gives the page no WebGL';
    stringToUTF8(why, reason, size);
    return 1;
  },

  tidewash_page_show_begins: function() {
    Module['page'].showBegins();
  },

  tidewash_page_show_ends: function() {
    Module['page'].showEnds();
  },

  // Called after every frame, while the drawing buffer still holds it: when
  // the page wants to hold the picture, it gets the frame's pixels too.
  tidewash_page_hold_requested__deps: ['$GL'],
  tidewash_page_hold_requested: function() {
    if (!Module['page'].wantsHold()) return 0;
    var width = GLctx.drawingBufferWidth;
    var height = GLctx.drawingBufferHeight;
    var pixels = new Uint8Array(width * height * 4);
    GLctx.readPixels(0, 0, width, height, GLctx.RGBA, GLctx.UNSIGNED_BYTE, pixels);
    Module['page'].hold({ width: width, height: height, bottomUpRgba: pixels });
    return 1;
  }
});
