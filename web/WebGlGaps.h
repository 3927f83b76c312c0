#pragma once

// Where WebGL and emscripten's legacy GL emulation differ from the OpenGL 1.1
// that the scenes and the toolkit call. The scenes' calls stay as they are;
// these make the same calls work in the browser.

// Call once the WebGL context exists and before any texture is uploaded.
void bridgeWebGlGaps();
