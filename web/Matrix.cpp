#include "web/Matrix.h"

#include <cmath>

Matrix::Matrix(const Rows& rows) {
    for (int row = 0; row < 4; ++row) {
        for (int column = 0; column < 4; ++column) element[column * 4 + row] = static_cast<float>(rows[row][column]);
    }
}

Matrix Matrix::identity() { return scaling(1.0f, 1.0f, 1.0f); }

Matrix Matrix::translation(float x, float y, float z) {
    const Rows rows = {{1, 0, 0, x}, {0, 1, 0, y}, {0, 0, 1, z}, {0, 0, 0, 1}};
    return Matrix(rows);
}

Matrix Matrix::scaling(float x, float y, float z) {
    const Rows rows = {{x, 0, 0, 0}, {0, y, 0, 0}, {0, 0, z, 0}, {0, 0, 0, 1}};
    return Matrix(rows);
}

Matrix Matrix::rotation(float angleDegrees, float x, float y, float z) {
    const double length = std::sqrt(double(x) * x + double(y) * y + double(z) * z);
    if (length == 0.0) return identity();
    const double ax = x / length, ay = y / length, az = z / length;
    const double radians = angleDegrees * M_PI / 180.0;
    const double c = std::cos(radians), s = std::sin(radians), t = 1.0 - c;
    const Rows rows = {
        {ax * ax * t + c, ax * ay * t - az * s, ax * az * t + ay * s, 0},
        {ay * ax * t + az * s, ay * ay * t + c, ay * az * t - ax * s, 0},
        {az * ax * t - ay * s, az * ay * t + ax * s, az * az * t + c, 0},
        {0, 0, 0, 1}};
    return Matrix(rows);
}

Matrix Matrix::orthographic(double left, double right, double bottom, double top, double zNear, double zFar) {
    const double width = right - left, height = top - bottom, depth = zFar - zNear;
    const Rows rows = {{2 / width, 0, 0, -(right + left) / width},
                               {0, 2 / height, 0, -(top + bottom) / height},
                               {0, 0, -2 / depth, -(zFar + zNear) / depth},
                               {0, 0, 0, 1}};
    return Matrix(rows);
}

Matrix Matrix::frustum(double left, double right, double bottom, double top, double zNear, double zFar) {
    const double width = right - left, height = top - bottom, depth = zFar - zNear;
    const Rows rows = {{2 * zNear / width, 0, (right + left) / width, 0},
                               {0, 2 * zNear / height, (top + bottom) / height, 0},
                               {0, 0, -(zFar + zNear) / depth, -2 * zFar * zNear / depth},
                               {0, 0, -1, 0}};
    return Matrix(rows);
}

Matrix Matrix::operator*(const Matrix& other) const {
    Matrix product;
    for (int row = 0; row < 4; ++row) {
        for (int column = 0; column < 4; ++column) {
            float sum = 0.0f;
            for (int k = 0; k < 4; ++k) sum += at(row, k) * other.at(k, column);
            product.element[column * 4 + row] = sum;
        }
    }
    return product;
}

ClipVertex Matrix::transform(float x, float y, float z) const {
    const float* m = element;
    return {m[0] * x + m[4] * y + m[8] * z + m[12], m[1] * x + m[5] * y + m[9] * z + m[13],
            m[2] * x + m[6] * y + m[10] * z + m[14], m[3] * x + m[7] * y + m[11] * z + m[15]};
}
