// The default scene in glsl/ as users first see it: it builds with the three uniforms the viewer
// sets, shows its shapes, floor and sky, animates with totalTime, follows the camera, and costs
// one shaded pass per pixel although the viewer draws the quad twice. Drawn by the bare GLX
// program, which hands the shaders exactly what the viewer hands them, on the real Mesa renderer.
#include "BenchProcess.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

using namespace BenchTest;

namespace
{
const std::string kVertexText = ReadWholeFile(MORVANE_SOURCE_DIR "/glsl/vertexShader.glsl");
const std::string kPixelText = ReadWholeFile(MORVANE_SOURCE_DIR "/glsl/pixelShader.glsl");

// Draws one frame of the shaders in `folder` at animation time `time` seen from `eye`, with the
// quad drawn as `instances` instances, and returns the picture.
Picture Draw(const ShaderFolder& folder, const std::string& time, const std::string& eye = "0,10,30",
             const std::string& instances = "2")
{
    const std::string snapshot = folder.File("frame.ppm");
    const ProcessResult run = RunProcess({BENCH_BARE_GLX, "--frames", "1", "--time", time, "--eye", eye, "--instances",
                                          instances, "--snapshot", snapshot},
                                         folder.Path(), {}, 120);
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.err, "");
    return ReadPpm(snapshot);
}

// The coral block, lit or in shade: red well above green and blue (floor, sky and pillars are not).
bool Warm(const unsigned char* p) { return p[0] > p[1] + 25 && p[0] > p[2] + 25; }

double ShareOfPixelsThatDiffer(const Picture& a, const Picture& b)
{
    long differ = 0;
    for (size_t i = 0; i < a.rgb.size(); i += 3)
        if (a.rgb[i] != b.rgb[i] || a.rgb[i + 1] != b.rgb[i + 1] || a.rgb[i + 2] != b.rgb[i + 2])
            ++differ;
    return double(differ) / double(a.width * a.height);
}
} // namespace

TEST(DefaultScene, BuildsWithTheThreeUniformsActive)
{
    // The bare program refuses a pair that does not compile or link, or that leaves one of
    // screen2World, cameraPos and totalTime inactive, as the viewer does at start-up.
    ShaderFolder folder(kVertexText, kPixelText);
    const ProcessResult run = RunProcess({BENCH_BARE_GLX, "--frames", "1"}, folder.Path(), {}, 120);
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.out.rfind("frames 1 ", 0), 0u) << run.out;
}

TEST(DefaultScene, ShowsShapesOnAFloorUnderASky)
{
    ShaderFolder folder(kVertexText, kPixelText);
    const Picture picture = Draw(folder, "0");
    ASSERT_EQ(picture.width, 800);
    ASSERT_EQ(picture.height, 600);

    const unsigned char* block = picture.At(400, 340);
    EXPECT_TRUE(block[0] > block[1] + 50 && block[0] > block[2] + 50) << "coral block at the centre";
    const unsigned char* ring = picture.At(175, 360);
    EXPECT_TRUE(ring[1] > ring[0] + 40 && ring[2] > ring[0] + 40) << "teal ring on the left";
    const unsigned char* ball = picture.At(580, 350);
    EXPECT_TRUE(ball[0] > ball[2] + 60 && ball[1] > ball[2] + 30) << "golden ball on the right";
    const unsigned char* sky = picture.At(400, 595);
    EXPECT_TRUE(sky[2] > sky[0] + 20 && sky[2] > sky[1] + 10) << "blue sky along the top";
    const unsigned char* floor = picture.At(400, 20);
    EXPECT_LT(std::abs(floor[0] - floor[2]), 30) << "grey floor at the bottom";

    // The shader colours every pixel: the clear colour (0.5, 0.5, 0.7) shows nowhere.
    for (int y = 0; y < 600; y += 7)
        for (int x = 0; x < 800; x += 7)
        {
            const unsigned char* p = picture.At(x, y);
            ASSERT_FALSE(p[0] == 128 && p[1] == 128 && p[2] == 179) << "clear colour at " << x << "," << y;
        }
}

TEST(DefaultScene, AnimatesTheShapesButNotTheFloorAroundThem)
{
    ShaderFolder folder(kVertexText, kPixelText);
    const Picture start = Draw(folder, "0");
    const Picture later = Draw(folder, "2");
    EXPECT_GT(ShareOfPixelsThatDiffer(start, later), 0.01);
    // The foreground floor, far from every moving shape and its shadow, stays as it was.
    for (int y = 0; y < 150; ++y)
        for (int x = 0; x < 800; ++x)
            ASSERT_EQ(0, std::memcmp(start.At(x, y), later.At(x, y), 3)) << "changed at " << x << "," << y;
}

TEST(DefaultScene, FollowsTheCameraAroundTheOrigin)
{
    // The camera always looks at the origin, where the block stands: from the front, the side
    // and behind, the window centre shows it, while the rest of the picture changes.
    ShaderFolder folder(kVertexText, kPixelText);
    const Picture front = Draw(folder, "0");
    const Picture side = Draw(folder, "0", "30,10,0");
    const Picture behind = Draw(folder, "0", "0,10,-30");
    EXPECT_TRUE(Warm(front.At(400, 300)));
    EXPECT_TRUE(Warm(side.At(400, 300)));
    EXPECT_TRUE(Warm(behind.At(400, 300)));
    EXPECT_GT(ShareOfPixelsThatDiffer(front, side), 0.2);
    EXPECT_GT(ShareOfPixelsThatDiffer(front, behind), 0.2);
}

// How many times the pixel stage ran for one frame with the quad drawn as `instances` instances.
static long PixelInvocations(const ShaderFolder& folder, const std::string& instances)
{
    const ProcessResult run =
        RunProcess({BENCH_BARE_GLX, "--frames", "1", "--instances", instances, "--count-invocations"}, folder.Path(), {}, 120);
    EXPECT_EQ(run.exitCode, 0) << run.err;
    const size_t at = run.out.find("pixel_invocations ");
    EXPECT_NE(at, std::string::npos) << run.out;
    return at == std::string::npos ? -1 : std::atol(run.out.c_str() + at + 18);
}

TEST(DefaultScene, ShadesEveryPixelOnceThoughTheQuadIsDrawnTwice)
{
    // The viewer draws the quad as two instances; the default vertex stage moves the second off
    // the screen, so the pixel stage runs no more often than for one instance, and the picture
    // is the same.
    ShaderFolder folder(kVertexText, kPixelText);
    const long once = PixelInvocations(folder, "1");
    EXPECT_GE(once, 800 * 600);
    EXPECT_EQ(PixelInvocations(folder, "2"), once);
    EXPECT_EQ(Draw(folder, "1", "0,10,30", "1").rgb, Draw(folder, "1", "0,10,30", "2").rgb);

    // Without that, a plain pass-through vertex stage shades every pixel twice.
    ShaderFolder plain("#version 120\nvoid main() { gl_Position = gl_Vertex; }\n", kPixelText);
    EXPECT_EQ(PixelInvocations(plain, "2"), 2 * PixelInvocations(plain, "1"));
}
