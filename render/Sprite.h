#pragma once

// A textured rectangle: a window into the currently bound texture, given in
// texture coordinates, and a size in the units of the current projection.
// It emits one quad and touches no other GL state.
class Sprite {
public:
    Sprite(float s0, float t0, float s1, float t1, float width, float height);

    // Draws the quad with texture point (s0, t0) at (x, y), extending towards
    // +x and +y by the size times scale (a negative scale mirrors it).
    void draw(float x, float y, float z, float scale) const;

private:
    float s0;
    float t0;
    float s1;
    float t1;
    float width;
    float height;
};
