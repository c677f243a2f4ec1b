// A 4 x 4 single-precision matrix stored row by row: points are column vectors multiplied from
// the right and the translation stands in the fourth column.
#pragma once

#include "Vector3.h"

namespace Math {

// A position of two floats, such as a normalised mouse position.
struct Point2 {
    float x = 0.0f;
    float y = 0.0f;
};

struct Matrix4x4 {
    // Element (row r, column c) is m[4 * r + c]. A default matrix is the identity.
    float m[16];

    Matrix4x4();

    float& At(int row, int column) { return m[4 * row + column]; }
    float At(int row, int column) const { return m[4 * row + column]; }

    // The product this x b.
    Matrix4x4 operator*(const Matrix4x4& b) const;
    // Transforms a point by the upper three rows; nothing is divided by w.
    Vector3 operator*(const Vector3& p) const;
    // Divides every element by s.
    Matrix4x4& operator/=(float s);

    float Determinant() const;
    // The adjugate divided by the determinant; a singular matrix is not detected.
    Matrix4x4 Inverse() const;

    // Right-handed view matrix looking from eye at target; the camera looks down -z.
    void SetLookAt(const Vector3& eye, const Vector3& target, const Vector3& up);
    // Rotation by angle radians about axis (used as given), right-hand rule.
    void SetRotation(const Vector3& axis, float angle);
    // The arcball rotation that carries `from` to `to` on the virtual sphere, its angle scaled
    // by speed. The cosine is clamped to [-1, 1], so nearly equal points give no rotation
    // rather than not-a-number.
    void SetArcballRotation(const Point2& from, const Point2& to, float speed);
};

// Lifts a point of the unit disk onto the front of the unit sphere; points outside the disk
// land on its rim (z = 0).
Vector3 ProjectToSphere(const Point2& point);

}  // namespace Math
