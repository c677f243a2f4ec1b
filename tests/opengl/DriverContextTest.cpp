// Context creation on a real X server and Mesa: the pixel format chosen (multisampled where the
// server offers it), the capability answers, the fixed render state and the release of the
// context.
#include "DriverFixture.h"
#include "GlxConfigs.h"

#include "opengl/PixelFormatRequest.h"
#include "opengl/WglExtensions.h"
#include "tests/support/GlVersionAsked.h"

namespace {

using namespace DriverTesting;

typedef DriverFixture DriverContextTest;

TEST_F(DriverContextTest, ChoosesTheLargestMultisampledFormatUpToFour)
{
    const int offered = LargestSampleCount(4, 24);
    ASSERT_GE(offered, 0) << "no X display";
    GLint samples = -1, sampleBuffers = -1;
    glGetIntegerv(GL_SAMPLES, &samples);
    glGetIntegerv(GL_SAMPLE_BUFFERS, &sampleBuffers);
    EXPECT_EQ(offered, samples);
    EXPECT_EQ(offered > 0 ? 1 : 0, sampleBuffers);
    GLint depthBits = 0;
    glGetIntegerv(GL_DEPTH_BITS, &depthBits);
    EXPECT_EQ(24, depthBits);
    GLint doubleBuffered = GL_FALSE;
    glGetIntegerv(GL_DOUBLEBUFFER, &doubleBuffered);
    EXPECT_EQ(GL_TRUE, doubleBuffered);
}

// The reruns on older contexts test those contexts only if the version asked for is in effect.
TEST_F(DriverContextTest, TheContextHasTheOpenglVersionTheRunAsksFor)
{
    const std::string asked = TestSupport::GlVersionAsked();
    if (asked.empty()) {
        GTEST_SKIP() << "this run asks for no OpenGL version";
    }
    EXPECT_TRUE(TestSupport::HasGlVersion(asked));
}

TEST_F(DriverContextTest, FixedRenderState)
{
    GLint polygonMode[2] = {0, 0};
    glGetIntegerv(GL_POLYGON_MODE, polygonMode);
    EXPECT_EQ(GL_FILL, polygonMode[0]);
    EXPECT_EQ(GL_FILL, polygonMode[1]);
    EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    GLint value = 0;
    glGetIntegerv(GL_DEPTH_FUNC, &value);
    EXPECT_EQ(GL_LESS, value);
    GLfloat clear[4] = {-1.0f, -1.0f, -1.0f, -1.0f};
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
    EXPECT_EQ(0.5f, clear[0]);
    EXPECT_EQ(0.5f, clear[1]);
    EXPECT_FLOAT_EQ(0.7f, clear[2]);
    EXPECT_EQ(0.0f, clear[3]);
    // What the driver leaves at the defaults.
    glGetIntegerv(GL_CULL_FACE_MODE, &value);
    EXPECT_EQ(GL_BACK, value);
    glGetIntegerv(GL_FRONT_FACE, &value);
    EXPECT_EQ(GL_CCW, value);
    EXPECT_EQ(GL_NO_ERROR, glGetError());
}

TEST_F(DriverContextTest, MultisampleExtensionIsReportedWhenTheServerOffersIt)
{
    const bool offered = LargestSampleCount(64, 24) > 0 || LargestSampleCount(64, 16) > 0;
    EXPECT_EQ(offered, OpenglDriver::IsWglExtensionSupported("WGL_ARB_multisample"));
    EXPECT_FALSE(OpenglDriver::IsWglExtensionSupported("WGL_ARB_multi"));
    EXPECT_FALSE(OpenglDriver::IsWglExtensionSupported("ARB_multisample"));
}

TEST_F(DriverContextTest, DestroyingTheDriverReleasesTheContext)
{
    EXPECT_NE(nullptr, wglGetCurrentContext());
    m_driver.reset();
    EXPECT_EQ(nullptr, wglGetCurrentContext());
    // The window stays usable: the driver left its device context alone.
    EXPECT_TRUE(IsWindow(m_window->hwnd));
}

TEST(PixelFormatRequestTest, SelectsOnAThrowAwayWindowAndCleansUp)
{
    OpenglDriver::PixelFormatRequest request;
    const int format = request.SelectPixelFormat();
    EXPECT_GT(format, 0);
    EXPECT_EQ(24, request.depthBits);
    EXPECT_EQ(LargestSampleCount(4, 24) > 0 ? LargestSampleCount(4, 24) : 4, request.samples);

    const PIXELFORMATDESCRIPTOR& d = request.descriptor;
    EXPECT_EQ(40, d.nSize);
    EXPECT_EQ(1, d.nVersion);
    EXPECT_EQ(0x25u, d.dwFlags);
    EXPECT_EQ(PFD_TYPE_RGBA, d.iPixelType);
    EXPECT_EQ(24, d.cColorBits);
    EXPECT_EQ(0, d.cAlphaBits);
    EXPECT_EQ(24, d.cDepthBits);
    EXPECT_EQ(0, d.cStencilBits);
    EXPECT_EQ(PFD_MAIN_PLANE, d.iLayerType);

    // No temporary context stays current and the throw-away class is gone again.
    EXPECT_EQ(nullptr, wglGetCurrentContext());
    RealTimeApp::Win32Window again(L"DummyWindow", 1, 1, DefWindowProcW);
    EXPECT_EQ(L"DummyWindowClass", again.className);
}

TEST(DriverFailureTest, ADeviceContextWithoutAWindowIsRefused)
{
    RealTimeApp::Win32Window window(L"Gone", 100, 100, DefWindowProcW);
    HDC dc = window.hdc;
    DestroyWindow(window.hwnd);
    try {
        OpenglDriver::OpenglDriver driver(dc);
        ADD_FAILURE() << "a driver was built on a destroyed window";
    } catch (const Common::Exception& e) {
        EXPECT_TRUE(e.Message().empty());
        EXPECT_NE(0u, e.Detail().code);
        EXPECT_FALSE(e.Detail().text.empty());
    }
    EXPECT_EQ(nullptr, wglGetCurrentContext());
}

}  // namespace
