// What the web main and the browser frame end tell the page (its script sets
// Module.page), and the bridge for WebGL's texture formats.
mergeInto(LibraryManager.library, {
  tidewash_page_frame_shown: function(positionMs) {
    Module['page'].frameShown(positionMs >>> 0);
  },

  tidewash_page_show_begins: function() {
    Module['page'].showBegins();
  },

  tidewash_page_show_ends: function() {
    Module['page'].showEnds();
  },

  tidewash_page_hold_requested: function() {
    return Module['page'].holdRequested() ? 1 : 0;
  },

  // OpenGL 1.1 lets glTexImage2D name an internal format by its number of
  // components (1 to 4); WebGL takes only the named formats, so the context's
  // texImage2D is given the named format the number stands for.
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
