#pragma once

// Something drawn under its own transform: scaled, then rotated about an axis,
// then translated, around the geometry a derived class emits. Objects are
// always members of their scene, never deleted through this base, so the
// destructor is protected and not virtual.
class SceneObject {
public:
    // Pushes the current matrix, applies the transform, draws the geometry and
    // pops the matrix again. n is handed on to drawGeometry unchanged.
    void draw(int n) const;

    // Emits the object's primitives in object coordinates.
    virtual void drawGeometry(int n) const = 0;

    float translateX;
    float translateY;
    float translateZ;
    float angle;   // degrees
    float axisX;
    float axisY;
    float axisZ;
    float scaleX;
    float scaleY;
    float scaleZ;

protected:
    SceneObject();
    ~SceneObject() = default;
};
