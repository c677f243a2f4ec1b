// Vector and matrix math: the values the camera and renderer rely on.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "math/Matrix4x4.h"

using Math::Matrix4x4;
using Math::Point2;
using Math::Vector3;

namespace {

void ExpectVector(const Vector3& v, float x, float y, float z, float tolerance = 1e-5f)
{
    EXPECT_NEAR(v.x, x, tolerance);
    EXPECT_NEAR(v.y, y, tolerance);
    EXPECT_NEAR(v.z, z, tolerance);
}

void ExpectIdentity(const Matrix4x4& m, float tolerance)
{
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c) {
            EXPECT_NEAR(m.At(r, c), r == c ? 1.0f : 0.0f, tolerance) << "row " << r << " column " << c;
        }
    }
}

}  // namespace

TEST(Vector3, CrossDifferenceScaleAndNormalize)
{
    ExpectVector(Vector3(1, 0, 0).Cross(Vector3(0, 1, 0)), 0, 0, 1);
    ExpectVector(Vector3(0, 1, 0).Cross(Vector3(1, 0, 0)), 0, 0, -1);
    ExpectVector(Vector3(5, 7, 9) - Vector3(1, 2, 3), 4, 5, 6);
    ExpectVector(Vector3(1, -2, 3) * 2.0f, 2, -4, 6);
    Vector3 v(3, 0, 4);
    EXPECT_EQ(&v.Normalize(), &v);
    ExpectVector(v, 0.6f, 0, 0.8f);
}

TEST(Vector3, NormalizeLeavesVectorsShorterThanEpsilonAlone)
{
    Vector3 zero(0, 0, 0);
    ExpectVector(zero.Normalize(), 0, 0, 0, 0);
    Vector3 tiny(1e-8f, 0, 0);
    EXPECT_EQ(tiny.Normalize().x, 1e-8f);
    Vector3 atEpsilon(Math::kNormalizeEpsilon, 0, 0);
    EXPECT_FLOAT_EQ(atEpsilon.Normalize().x, 1.0f);
}

TEST(Matrix4x4, DefaultIsIdentityAndProductAppliesRightOperandFirst)
{
    ExpectIdentity(Matrix4x4(), 0);
    Matrix4x4 translate;
    translate.At(0, 3) = 5;
    Matrix4x4 rotate;
    rotate.SetRotation(Vector3(0, 0, 1), 3.14159265f / 2);
    // Rotate (1, 0, 0) to (0, 1, 0), then translate by 5 along x.
    ExpectVector((translate * rotate) * Vector3(1, 0, 0), 5, 1, 0);
    ExpectVector((rotate * translate) * Vector3(1, 0, 0), 0, 6, 0);
}

TEST(Matrix4x4, PointTransformIgnoresTheBottomRow)
{
    Matrix4x4 m;
    m.At(3, 0) = 7;
    m.At(3, 3) = 9;
    ExpectVector(m * Vector3(1, 2, 3), 1, 2, 3, 0);
}

TEST(Matrix4x4, DivisionDeterminantAndInverse)
{
    Matrix4x4 m;
    m /= 2.0f;
    EXPECT_EQ(m.At(0, 0), 0.5f);
    EXPECT_EQ(m.At(0, 1), 0.0f);

    Matrix4x4 a;
    const float values[16] = {2, 0, 1, 3, 1, 4, 0, 2, 0, 1, 5, 1, 3, 0, 2, 6};
    std::copy(values, values + 16, a.m);
    EXPECT_NEAR(a.Determinant(), 0.0f + [&] {
        // Reference value by cofactor expansion along the first row, in double precision.
        double d[4][4];
        for (int i = 0; i < 16; ++i) d[i / 4][i % 4] = values[i];
        auto det3 = [](double m3[3][3]) {
            return m3[0][0] * (m3[1][1] * m3[2][2] - m3[1][2] * m3[2][1])
                 - m3[0][1] * (m3[1][0] * m3[2][2] - m3[1][2] * m3[2][0])
                 + m3[0][2] * (m3[1][0] * m3[2][1] - m3[1][1] * m3[2][0]);
        };
        double sum = 0;
        for (int c = 0; c < 4; ++c) {
            double minor[3][3];
            for (int r = 1; r < 4; ++r)
                for (int k = 0, n = 0; k < 4; ++k)
                    if (k != c) minor[r - 1][n++] = d[r][k];
            sum += (c % 2 ? -1 : 1) * d[0][c] * det3(minor);
        }
        return static_cast<float>(sum);
    }(), 1e-3f);
    ExpectIdentity(a * a.Inverse(), 1e-5f);
}

TEST(Matrix4x4, LookAtFromFiveAlongZAndFromTenUpThirtyBack)
{
    Matrix4x4 view;
    view.SetLookAt(Vector3(0, 0, 5), Vector3(0, 0, 0), Vector3(0, 1, 0));
    Matrix4x4 expected;
    expected.At(2, 3) = -5;
    for (int i = 0; i < 16; ++i) EXPECT_NEAR(view.m[i], expected.m[i], 1e-6f) << i;

    view.SetLookAt(Vector3(0, 10, 30), Vector3(0, 0, 0), Vector3(0, 1, 0));
    const float rows[16] = {1, 0, 0, 0, 0, 0.9486833f, -0.3162278f, 0, 0, 0.3162278f, 0.9486834f, -31.622778f,
                            0, 0, 0, 1};
    for (int i = 0; i < 16; ++i) EXPECT_NEAR(view.m[i], rows[i], 1e-5f) << i;
    ExpectIdentity(view.Inverse() * view, 1e-5f);
}

TEST(Matrix4x4, LookAtDegeneratesWithoutGuards)
{
    Matrix4x4 same;
    same.SetLookAt(Vector3(1, 2, 3), Vector3(1, 2, 3), Vector3(0, 1, 0));
    for (int i = 0; i < 12; ++i) EXPECT_EQ(same.m[i], 0.0f) << i;

    Matrix4x4 parallel;
    parallel.SetLookAt(Vector3(0, 5, 0), Vector3(0, 0, 0), Vector3(0, 1, 0));
    for (int i = 0; i < 8; ++i) EXPECT_EQ(parallel.m[i], 0.0f) << i;
    ExpectVector(Vector3(parallel.m[8], parallel.m[9], parallel.m[10]), 0, 1, 0);
    EXPECT_FLOAT_EQ(parallel.m[11], -5.0f);
}

TEST(Matrix4x4, RotationAboutZAndAboutAZeroAxis)
{
    Matrix4x4 r;
    r.SetRotation(Vector3(0, 0, 1), 1.5707964f);
    ExpectVector(r * Vector3(1, 0, 0), 0, 1, 0, 1e-6f);
    r.SetRotation(Vector3(0, 0, 0), 0.5f);
    for (int i = 0; i < 16; ++i) {
        float expected = (i == 0 || i == 5 || i == 10) ? std::cos(0.5f) : (i == 15 ? 1.0f : 0.0f);
        EXPECT_FLOAT_EQ(r.m[i], expected) << i;
    }
}

TEST(Sphere, ProjectionOfCentreAndOfPointsOutsideTheDisk)
{
    ExpectVector(Math::ProjectToSphere(Point2{0, 0}), 0, 0, 1, 0);
    ExpectVector(Math::ProjectToSphere(Point2{2, 0}), 1, 0, 0, 1e-6f);
    Vector3 inside = Math::ProjectToSphere(Point2{0.3f, 0.4f});
    EXPECT_NEAR(Math::Length(inside), 1.0f, 1e-6f);
    EXPECT_GT(inside.z, 0.0f);
}

TEST(Arcball, DragsAlongXAndAlongYTurnTheDefaultEyeAboutTheYAndXAxes)
{
    const Vector3 eye(0, 10, 30);
    Matrix4x4 r;
    r.SetArcballRotation(Point2{0, 0}, Point2{0.1f, 0}, 0.1f * -10.0f);
    // About (0, 1, 0) by -0.1001674 radians.
    Matrix4x4 expected;
    expected.SetRotation(Vector3(0, 1, 0), -0.1001674f);
    for (int i = 0; i < 16; ++i) EXPECT_NEAR(r.m[i], expected.m[i], 1e-6f) << i;
    ExpectVector(r * eye, -3.0f, 10.0f, 29.849623f, 1e-4f);

    r.SetArcballRotation(Point2{0, 0}, Point2{0, 0.1f}, 0.1f * -10.0f);
    ExpectVector(r * eye, 0.0f, 6.949874f, 30.849623f, 1e-4f);
}

TEST(Arcball, NearlyEqualPointsNeverGiveNotANumber)
{
    // Rounding can put the cosine of two nearly equal lifted points just above 1.
    for (int i = 0; i < 2000; ++i) {
        float x = -0.9f + 0.0009f * static_cast<float>(i);
        Matrix4x4 r;
        r.SetArcballRotation(Point2{x, 0.3f}, Point2{x + 1e-7f, 0.3f}, -1.0f);
        for (float element : r.m) ASSERT_FALSE(std::isnan(element)) << "at x = " << x;
    }
}
