#pragma once

#include <EGL/egl.h>

#include <cstdint>

// An OpenGL compatibility context with no window and no X server: EGL on
// Mesa's surfaceless platform, made current with a framebuffer object of the
// requested size bound for drawing and reading. Throws Failure when there is
// no such context or the size is beyond what the implementation renders.
class HeadlessGl {
public:
    HeadlessGl(int width, int height);
    ~HeadlessGl();
    HeadlessGl(const HeadlessGl&) = delete;
    HeadlessGl& operator=(const HeadlessGl&) = delete;

    int width() const { return frameWidth; }
    int height() const { return frameHeight; }

private:
    void makeContext();
    void makeFramebuffer();

    int frameWidth;
    int frameHeight;
    int maxFramebufferEdge = 0;
    EGLDisplay display = EGL_NO_DISPLAY;
    EGLContext context = EGL_NO_CONTEXT;
    std::uint32_t framebuffer = 0;
    std::uint32_t colourBuffer = 0;
    std::uint32_t depthBuffer = 0;
};
