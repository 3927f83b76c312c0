#pragma once

// The OpenGL 1.1 functions the scenes and the toolkit call, defined for the
// page over one ImmediateGl; the rest (glClearColor, glGenTextures,
// glGetString) are WebGL's own.
#include "web/ImmediateGl.h"

// The page's one OpenGL context, as OpenGL's functions are global.
ImmediateGl& pageGl();
