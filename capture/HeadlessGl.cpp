#include "capture/HeadlessGl.h"

#define GL_GLEXT_PROTOTYPES
#include <EGL/eglext.h>
#include <GL/gl.h>
#include <GL/glext.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "base/Failure.h"

namespace {

std::string eglError(const char* what) {
    char code[16];
    std::snprintf(code, sizeof code, "0x%04x", unsigned(eglGetError()));
    return std::string("no headless OpenGL: ") + what + " failed (EGL error " + code + ")";
}

EGLDisplay surfacelessDisplay() {
    const auto getPlatformDisplay =
        reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(eglGetProcAddress("eglGetPlatformDisplayEXT"));
    if (getPlatformDisplay == nullptr) throw Failure("no headless OpenGL: EGL has no eglGetPlatformDisplayEXT");
    const EGLDisplay display = getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
    if (display == EGL_NO_DISPLAY) throw Failure(eglError("eglGetPlatformDisplayEXT(surfaceless)"));
    return display;
}

}  // namespace

HeadlessGl::HeadlessGl(int width, int height, int scale) : frameWidth(width * scale), frameHeight(height * scale) {
    makeContext();
    makeFramebuffer(scale);
}

HeadlessGl::~HeadlessGl() {
    if (framebuffer != 0) {
        glDeleteFramebuffers(1, &framebuffer);
        glDeleteRenderbuffers(1, &colourBuffer);
        glDeleteRenderbuffers(1, &depthBuffer);
    }
    if (display == EGL_NO_DISPLAY) return;
    eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    if (context != EGL_NO_CONTEXT) eglDestroyContext(display, context);
    eglTerminate(display);
}

void HeadlessGl::makeContext() {
    display = surfacelessDisplay();
    if (!eglInitialize(display, nullptr, nullptr)) {
        display = EGL_NO_DISPLAY;
        throw Failure(eglError("eglInitialize"));
    }
    if (!eglBindAPI(EGL_OPENGL_API)) throw Failure(eglError("eglBindAPI(OpenGL)"));
    // The demo draws with the fixed-function pipeline: a compatibility
    // profile, and no config, since it never draws to an EGL surface.
    const EGLint attributes[] = {EGL_CONTEXT_OPENGL_PROFILE_MASK, EGL_CONTEXT_OPENGL_COMPATIBILITY_PROFILE_BIT,
                                 EGL_NONE};
    context = eglCreateContext(display, EGL_NO_CONFIG_KHR, EGL_NO_CONTEXT, attributes);
    if (context == EGL_NO_CONTEXT) throw Failure(eglError("eglCreateContext"));
    if (!eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, context))
        throw Failure(eglError("eglMakeCurrent"));
}

void HeadlessGl::makeFramebuffer(int scale) {
    GLint renderbufferEdge = 0;
    GLint viewportEdges[2] = {0, 0};
    glGetIntegerv(GL_MAX_RENDERBUFFER_SIZE, &renderbufferEdge);
    glGetIntegerv(GL_MAX_VIEWPORT_DIMS, viewportEdges);
    const int maxEdge = std::min({renderbufferEdge, viewportEdges[0], viewportEdges[1]});
    if (frameWidth > maxEdge || frameHeight > maxEdge) {
        const std::string rendered = std::to_string(frameWidth) + "x" + std::to_string(frameHeight);
        const std::string size = scale == 1 ? rendered
                                            : std::to_string(frameWidth / scale) + "x" +
                                                  std::to_string(frameHeight / scale) + " supersampled " +
                                                  std::to_string(scale) + " times (" + rendered + ")";
        throw Failure("size " + size + " is larger than this OpenGL renders (at most " + std::to_string(maxEdge) +
                      " on each side)");
    }

    glGenRenderbuffers(1, &colourBuffer);
    glBindRenderbuffer(GL_RENDERBUFFER, colourBuffer);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, frameWidth, frameHeight);
    glGenRenderbuffers(1, &depthBuffer);
    glBindRenderbuffer(GL_RENDERBUFFER, depthBuffer);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, frameWidth, frameHeight);
    glGenFramebuffers(1, &framebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colourBuffer);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, depthBuffer);
    if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE)
        throw Failure("cannot render a " + std::to_string(frameWidth) + "x" + std::to_string(frameHeight) +
                      " frame: the framebuffer is incomplete (out of memory?)");
    glViewport(0, 0, frameWidth, frameHeight);
}
