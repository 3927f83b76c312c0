#pragma once

// A 4 x 4 matrix as OpenGL 1.1 keeps them: column by column, with the
// transforms its matrix calls multiply onto the current matrix. The page
// transforms each vertex itself, so that a matrix change between two
// primitives never splits a batch.
struct ClipVertex {
    float x, y, z, w;
};

class Matrix {
public:
    static Matrix identity();
    static Matrix translation(float x, float y, float z);
    static Matrix scaling(float x, float y, float z);
    // angleDegrees about the axis (x, y, z), counter-clockwise looking
    // down the axis towards the origin, as glRotatef.
    static Matrix rotation(float angleDegrees, float x, float y, float z);
    static Matrix orthographic(double left, double right, double bottom, double top, double zNear, double zFar);
    static Matrix frustum(double left, double right, double bottom, double top, double zNear, double zFar);

    // this x other: other's transform applies first.
    Matrix operator*(const Matrix& other) const;
    ClipVertex transform(float x, float y, float z) const;

    float at(int row, int column) const { return element[column * 4 + row]; }

private:
    using Rows = double[4][4];
    Matrix() = default;
    explicit Matrix(const Rows& rows);

    float element[16] = {};
};
