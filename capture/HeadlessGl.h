#pragma once

#include <EGL/egl.h>

#include <cstdint>

// An OpenGL compatibility context with no window and no X server: EGL on
// Mesa's surfaceless platform, made current with a framebuffer object of the
// requested size bound for drawing and reading. Throws Failure when there is
// no such context or the size is beyond what the implementation renders.
class HeadlessGl {
public:
    // A framebuffer `scale` times as wide and high as width x height, for
    // frames that are averaged down afterwards.
    HeadlessGl(int width, int height, int scale);
    ~HeadlessGl();
    HeadlessGl(const HeadlessGl&) = delete;
    HeadlessGl& operator=(const HeadlessGl&) = delete;

    // The framebuffer's size in pixels.
    int width() const { return frameWidth; }
    int height() const { return frameHeight; }

private:
    void makeContext();
    void makeFramebuffer(int scale);

    int frameWidth;
    int frameHeight;
    EGLDisplay display = EGL_NO_DISPLAY;
    EGLContext context = EGL_NO_CONTEXT;
    std::uint32_t framebuffer = 0;
    std::uint32_t colourBuffer = 0;
    std::uint32_t depthBuffer = 0;
};
