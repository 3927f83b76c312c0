#pragma once

// Brings up audio and the full-screen OpenGL window before main runs and shuts
// both down when the process exits, so a GL context exists while any scene is
// built or destroyed. The one instance is a static object.
class MediaSystem {
public:
    MediaSystem();
    ~MediaSystem();
    MediaSystem(const MediaSystem&) = delete;
    MediaSystem& operator=(const MediaSystem&) = delete;
};
