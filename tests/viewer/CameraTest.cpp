// The scene's default camera: where it looks from and its projection.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

#include "viewer/CustomScene.h"

namespace {

uint32_t Bits(float f)
{
    uint32_t bits;
    std::memcpy(&bits, &f, sizeof bits);
    return bits;
}

}  // namespace

TEST(DefaultCamera, ViewsTheOriginFromTenUpThirtyBackWithA45DegreeFourByThreeProjection)
{
    RealTimeApp::Camera camera = Morvane::DefaultCamera();
    const float view[16] = {1, 0, 0, 0, 0, 0.9486833f, -0.3162278f, 0, 0, 0.3162278f, 0.9486834f, -31.622778f,
                            0, 0, 0, 1};
    for (int i = 0; i < 16; ++i) EXPECT_NEAR(camera.view.m[i], view[i], 1e-5f) << i;

    const Math::Matrix4x4& p = camera.projection;
    EXPECT_NEAR(p.At(0, 0), 1.81066f, 1e-5f);
    EXPECT_NEAR(p.At(1, 1), 2.4142134f, 1e-6f);
    EXPECT_EQ(Bits(p.At(2, 2)), 0xBF80068Du);
    EXPECT_EQ(Bits(p.At(2, 3)), 0xBE4CD20Bu);
    EXPECT_EQ(p.At(3, 2), -1.0f);
    EXPECT_EQ(p.At(3, 3), 0.0f);
}

TEST(DefaultCamera, ProjectionPutsNearAndFarPlanesAtClipDepthMinusAndPlusW)
{
    const Math::Matrix4x4 p = Morvane::DefaultCamera().projection;
    auto clip = [&](float z, int row) { return p.At(row, 2) * z + p.At(row, 3); };
    EXPECT_NEAR(clip(-0.1f, 2), -clip(-0.1f, 3), 1e-6f);
    EXPECT_NEAR(clip(-1000.0f, 2) / clip(-1000.0f, 3), 1.0f, 1e-5f);
}
