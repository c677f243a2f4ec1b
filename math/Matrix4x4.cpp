// Matrix products, determinant, inverse and the camera's matrix builders, in single precision.
#include "Matrix4x4.h"

#include <algorithm>
#include <cmath>

namespace Math {
namespace {

// The 3 x 3 minor of `a` without row `skipRow` and column `skipColumn`, expanded as its six
// triple products.
float Minor(const Matrix4x4& a, int skipRow, int skipColumn)
{
    int r[3], c[3];
    for (int i = 0, n = 0; i < 4; ++i) {
        if (i != skipRow) r[n++] = i;
    }
    for (int i = 0, n = 0; i < 4; ++i) {
        if (i != skipColumn) c[n++] = i;
    }
    return a.At(r[0], c[0]) * a.At(r[1], c[1]) * a.At(r[2], c[2])
         + a.At(r[0], c[1]) * a.At(r[1], c[2]) * a.At(r[2], c[0])
         + a.At(r[0], c[2]) * a.At(r[1], c[0]) * a.At(r[2], c[1])
         - a.At(r[0], c[2]) * a.At(r[1], c[1]) * a.At(r[2], c[0])
         - a.At(r[0], c[1]) * a.At(r[1], c[0]) * a.At(r[2], c[2])
         - a.At(r[0], c[0]) * a.At(r[1], c[2]) * a.At(r[2], c[1]);
}

}  // namespace

Matrix4x4::Matrix4x4()
    : m{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}
{
}

Matrix4x4 Matrix4x4::operator*(const Matrix4x4& b) const
{
    Matrix4x4 result;
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) {
            result.At(i, j) = At(i, 0) * b.At(0, j) + At(i, 1) * b.At(1, j) + At(i, 2) * b.At(2, j)
                            + At(i, 3) * b.At(3, j);
        }
    }
    return result;
}

Vector3 Matrix4x4::operator*(const Vector3& p) const
{
    float out[3];
    for (int r = 0; r < 3; ++r) {
        out[r] = At(r, 0) * p.x + At(r, 1) * p.y + At(r, 2) * p.z + At(r, 3);
    }
    return Vector3(out[0], out[1], out[2]);
}

Matrix4x4& Matrix4x4::operator/=(float s)
{
    for (float& element : m) {
        element /= s;
    }
    return *this;
}

float Matrix4x4::Determinant() const
{
    // The full expansion: one signed product for each permutation of the four columns.
    float sum = 0.0f;
    int p[4] = {0, 1, 2, 3};
    do {
        int inversions = 0;
        for (int i = 0; i < 4; ++i) {
            for (int j = i + 1; j < 4; ++j) {
                if (p[i] > p[j]) ++inversions;
            }
        }
        float product = At(0, p[0]) * At(1, p[1]) * At(2, p[2]) * At(3, p[3]);
        sum += (inversions % 2 == 0) ? product : -product;
    } while (std::next_permutation(p, p + 4));
    return sum;
}

Matrix4x4 Matrix4x4::Inverse() const
{
    Matrix4x4 result(*this);
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) {
            float sign = ((i + j) % 2 == 0) ? 1.0f : -1.0f;
            result.At(i, j) = sign * Minor(*this, j, i);
        }
    }
    result /= Determinant();
    return result;
}

void Matrix4x4::SetLookAt(const Vector3& eye, const Vector3& target, const Vector3& up)
{
    Vector3 f = target - eye;
    f.Normalize();
    Vector3 s = f.Cross(up);
    s.Normalize();
    Vector3 u = s.Cross(f);
    u.Normalize();
    const float rows[16] = {
        s.x,  s.y,  s.z,  -Dot(s, eye),
        u.x,  u.y,  u.z,  -Dot(u, eye),
        -f.x, -f.y, -f.z, Dot(f, eye),
        0.0f, 0.0f, 0.0f, 1.0f,
    };
    std::copy(rows, rows + 16, m);
}

void Matrix4x4::SetRotation(const Vector3& axis, float angle)
{
    float c = std::cos(angle);
    float s = std::sin(angle);
    float t = 1.0f - c;
    float x = axis.x, y = axis.y, z = axis.z;
    const float rows[16] = {
        t * x * x + c,     t * x * y - s * z, t * x * z + s * y, 0.0f,
        t * x * y + s * z, t * y * y + c,     t * y * z - s * x, 0.0f,
        t * x * z - s * y, t * y * z + s * x, t * z * z + c,     0.0f,
        0.0f,              0.0f,              0.0f,              1.0f,
    };
    std::copy(rows, rows + 16, m);
}

void Matrix4x4::SetArcballRotation(const Point2& from, const Point2& to, float speed)
{
    Vector3 a = ProjectToSphere(from);
    Vector3 b = ProjectToSphere(to);
    Vector3 axis = a.Cross(b);
    axis.Normalize();
    float cosine = std::min(1.0f, std::max(-1.0f, Dot(b, a)));
    SetRotation(axis, std::acos(cosine) * speed);
}

Vector3 ProjectToSphere(const Point2& point)
{
    float h = 1.0f - point.x * point.x - point.y * point.y;
    if (h < 0.0f) {
        h = 0.0f;
    }
    Vector3 v(point.x, point.y, std::sqrt(h));
    v.Normalize();
    return v;
}

}  // namespace Math
