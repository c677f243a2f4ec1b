// The pixel-format choice on drivers poorer than Mesa's, made by preloading a GLX stand-in that
// hides the 24-bit depth configurations or offers fewer samples: 16 depth bits when 24 are not to
// be had, and the multisampled search stepping down from 4 to the largest count offered. Without
// the stand-in the same test checks Mesa's own answer (24 bits, 4 samples).
#include <dlfcn.h>

#include <cstdlib>

#include "DriverFixture.h"
#include "opengl/PixelFormatRequest.h"

namespace {

int Limit(const char* name, int otherwise)
{
    const char* value = std::getenv(name);
    return value && *value ? std::atoi(value) : otherwise;
}

}  // namespace

TEST(PixelFormatFallback, DepthAndSamplesStepDownToWhatTheDriverOffers)
{
    const int maxDepth = Limit("MORVANE_GLX_MAX_DEPTH", 24);
    const int maxSamples = Limit("MORVANE_GLX_MAX_SAMPLES", 4);
    if (std::getenv("MORVANE_GLX_MAX_DEPTH") || std::getenv("MORVANE_GLX_MAX_SAMPLES")) {
        ASSERT_NE(nullptr, dlsym(RTLD_DEFAULT, "MorvaneGlxLimitsLoaded")) << "the GLX stand-in is not preloaded";
    }
    const int expectedDepth = maxDepth >= 24 ? 24 : 16;
    const int expectedSamples = maxSamples >= 4 ? 4 : maxSamples;

    OpenglDriver::PixelFormatRequest request;
    const int format = request.SelectPixelFormat();
    EXPECT_GT(format, 0);
    EXPECT_EQ(expectedDepth, request.depthBits);
    EXPECT_EQ(expectedDepth, request.descriptor.cDepthBits);
    EXPECT_EQ(expectedSamples, request.samples);

    // The driver builds its context on that choice and draws with the depth buffer it got.
    RealTimeApp::Win32Window window(L"Pixel format fallback", 800, 600, DefWindowProcW);
    ShowWindow(window.hwnd, SW_SHOW);
    OpenglDriver::OpenglDriver driver(window.hdc);
    GLint depthBits = 0;
    glGetIntegerv(GL_DEPTH_BITS, &depthBits);
    EXPECT_EQ(expectedDepth, depthBits);
    GLint sampleBuffers = 0;
    glGetIntegerv(GL_SAMPLE_BUFFERS, &sampleBuffers);
    EXPECT_EQ(1, sampleBuffers);
    EXPECT_EQ(GL_NO_ERROR, glGetError());
}
