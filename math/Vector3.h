// A point or direction of three single-precision floats.
#pragma once

namespace Math {

// Lengths below this (the single-precision epsilon) are left alone by normalisation.
const float kNormalizeEpsilon = 1.1920929e-7f;

struct Vector3 {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;

    Vector3() = default;
    Vector3(float x_, float y_, float z_) : x(x_), y(y_), z(z_) {}

    // The cross product this x v.
    Vector3 Cross(const Vector3& v) const;
    // Scales to unit length in place; a vector shorter than kNormalizeEpsilon stays as it is.
    Vector3& Normalize();
};

Vector3 operator-(const Vector3& a, const Vector3& b);
Vector3 operator+(const Vector3& a, const Vector3& b);
Vector3 operator*(const Vector3& v, float s);
float Dot(const Vector3& a, const Vector3& b);
float Length(const Vector3& v);

}  // namespace Math
