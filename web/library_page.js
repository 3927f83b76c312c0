// What the web main, the browser frame end and the clock tell the page (its
// script sets Module.page) or ask it, and the bridges for WebGL's gaps.
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
  },

  // OpenGL 1.1 lets glTexImage2D name an internal format by its number of
  // components (1 to 4); WebGL takes only the named formats, so the context's
  // texImage2D is given the named format the number stands for.
  // A vertex on the eye plane has a clip-space w of exactly 0. It lies
  // outside the near plane, so the clipper cuts it away, but SwiftShader (the
  // software WebGL of headless Chromium) then loses the texture coordinates
  // along the cut edges: the tunnel's near ends sit there, and its walls came
  // out in flat colours. The emulation's vertex shaders give such a vertex a
  // tiny w instead, which is still outside the near plane and clips to the
  // same picture.
  tidewash_bridge_eye_plane_vertices__deps: ['$GL'],
  tidewash_bridge_eye_plane_vertices: function() {
    var emulatedPosition = 'gl_Position = u_projection * ecPosition;';
    var shaderSource = GLctx.shaderSource;
    GLctx.shaderSource = function(shader, source) {
      var bridged = source.replace(emulatedPosition,
        emulatedPosition + ' if (gl_Position.w == 0.0) gl_Position.w = 1e-4;');
      return shaderSource.call(GLctx, shader, bridged);
    };
  },

  tidewash_bridge_texture_formats__deps: ['$GL'],
  tidewash_bridge_texture_formats: function() {
    var namedFormats = [0x1909 /* GL_LUMINANCE */, 0x190A /* GL_LUMINANCE_ALPHA */,
                        0x1907 /* GL_RGB */, 0x1908 /* GL_RGBA */];
    var texImage2D = GLctx.texImage2D;
    GLctx.texImage2D = function(target, level, internalFormat) {
      var args = Array.prototype.slice.call(arguments);
      if (internalFormat >= 1 && internalFormat <= 4) args[2] = namedFormats[internalFormat - 1];
      return texImage2D.apply(GLctx, args);
    };
  }
});
