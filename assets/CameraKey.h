#pragma once

#include <cstdint>

// One key of the camera path: from the previous key's time to this one the
// camera moves and turns towards these values. Angles are in degrees.
struct CameraKey {
    std::uint32_t time;  // soundtrack position, ms; 0 ends the table
    float x;
    float y;
    float z;
    float rotX;
    float rotY;
    float rotZ;
};

static_assert(sizeof(CameraKey) == 28);
