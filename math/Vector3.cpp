// Vector arithmetic in single precision.
#include "Vector3.h"

#include <cmath>

namespace Math {

Vector3 Vector3::Cross(const Vector3& v) const
{
    return Vector3(y * v.z - z * v.y, z * v.x - x * v.z, x * v.y - y * v.x);
}

Vector3& Vector3::Normalize()
{
    float length = Length(*this);
    if (length < kNormalizeEpsilon) {
        return *this;
    }
    float r = 1.0f / length;
    x *= r;
    y *= r;
    z *= r;
    return *this;
}

Vector3 operator-(const Vector3& a, const Vector3& b)
{
    return Vector3(a.x - b.x, a.y - b.y, a.z - b.z);
}

Vector3 operator+(const Vector3& a, const Vector3& b)
{
    return Vector3(a.x + b.x, a.y + b.y, a.z + b.z);
}

Vector3 operator*(const Vector3& v, float s)
{
    return Vector3(v.x * s, v.y * s, v.z * s);
}

float Dot(const Vector3& a, const Vector3& b)
{
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

float Length(const Vector3& v)
{
    return std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
}

}  // namespace Math
