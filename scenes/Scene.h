#pragma once

#include <cstdint>

#include "assets/CameraKey.h"

// An effect of the demo. The frame loop starts it when its schedule entry
// becomes current, draws it once per frame and stops it when the entry's
// time is over. draw() first moves the camera along the shared key path, then
// lets the effect render itself.
class Scene {
public:
    Scene();
    virtual ~Scene() = default;
    Scene(const Scene&) = delete;
    Scene& operator=(const Scene&) = delete;

    virtual void start() = 0;
    virtual void stop() = 0;
    virtual void render(std::uint32_t deltaMs, std::uint32_t timeMs) = 0;

    // Loads the camera transform for timeMs into the current matrix (while the
    // key table lasts), then calls render with the same two times.
    void draw(std::uint32_t deltaMs, std::uint32_t timeMs);

private:
    void applyCamera(std::uint32_t timeMs) const;

    const CameraKey* prevKey;  // the key at or before the current time
    const CameraKey* nextKey;  // the key after it; time 0 ends the path
};

// How far timeMs lies from key `from` towards key `to`: 0 at `from`, 1 at `to`,
// beyond 1 when the path lags behind the music. Before `from` it is 0.
float cameraFactor(const CameraKey& from, const CameraKey& to, std::uint32_t timeMs);
