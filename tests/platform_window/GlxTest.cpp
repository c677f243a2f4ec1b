// Pixel formats and WGL contexts on Mesa's GLX, walked through the way the OpenGL driver uses
// them: a format chosen on a hidden 0 x 0 window, the multisample search through
// wglChoosePixelFormatARB, then a context on a shown window that clears, reads back and swaps
// the picture onto the screen.
#include <gtest/gtest.h>

#include <GL/glew.h>

#include <X11/Xutil.h>

#include <cstring>

#include "tests/support/LayerText.h"
#include "tests/support/MessageRecorder.h"
#include "tests/support/XServer.h"
#include "opengl/WglExtensions.h"

using namespace TestSupport;

namespace {

// The attribute values and function type are the ones the driver passes.
using ChoosePixelFormatArb = PFNWGLCHOOSEPIXELFORMATARBPROC;
using GetExtensionsStringArb = PFNWGLGETEXTENSIONSSTRINGARBPROC;

// An extension function from wglGetProcAddress, cast through void (*)() as GCC wants.
template <typename Function>
Function Lookup(const char* name)
{
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(wglGetProcAddress(name)));
}

PIXELFORMATDESCRIPTOR DriverDescriptor(BYTE depthBits)
{
    PIXELFORMATDESCRIPTOR descriptor{};
    descriptor.nSize = sizeof descriptor;
    descriptor.nVersion = 1;
    descriptor.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    descriptor.iPixelType = PFD_TYPE_RGBA;
    descriptor.cColorBits = 24;
    descriptor.cDepthBits = depthBits;
    descriptor.iLayerType = PFD_MAIN_PLANE;
    return descriptor;
}

// The first format wglChoosePixelFormatARB finds for the driver's attributes, 0 when none.
int ChooseMultisampled(ChoosePixelFormatArb choose, HDC dc, int depthBits, int samples)
{
    const int attributes[] = {WGL_DRAW_TO_WINDOW_ARB, 1, WGL_SUPPORT_OPENGL_ARB, 1,
                              WGL_ACCELERATION_ARB, WGL_FULL_ACCELERATION_ARB,
                              WGL_COLOR_BITS_ARB, 24, WGL_ALPHA_BITS_ARB, 8,
                              WGL_DEPTH_BITS_ARB, depthBits, WGL_STENCIL_BITS_ARB, 0,
                              WGL_DOUBLE_BUFFER_ARB, 1, WGL_SAMPLE_BUFFERS_ARB, 1,
                              WGL_SAMPLES_ARB, samples, 0, 0};
    const FLOAT floats[] = {0.0f, 0.0f};
    int format = 0;
    UINT count = 0;
    EXPECT_TRUE(choose(dc, attributes, floats, 1, &format, &count)) << LastErrorText();
    return count > 0 ? format : 0;
}

bool HasWord(const char* list, const char* word)
{
    size_t length = std::strlen(word);
    for (const char* at = std::strstr(list, word); at; at = std::strstr(at + 1, word)) {
        if ((at == list || at[-1] == ' ') && (at[length] == '\0' || at[length] == ' ')) {
            return true;
        }
    }
    return false;
}

class Glx : public ::testing::Test {
protected:
    HWND Create(const wchar_t* caption, int x, int y, int width, int height)
    {
        HWND hwnd = CreateWindowExW(WS_EX_CLIENTEDGE, m_class.Name(), caption,
                                    WS_CAPTION | WS_SYSMENU | WS_THICKFRAME, x, y, width, height,
                                    nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        EXPECT_NE(hwnd, nullptr) << LastErrorText();
        return hwnd;
    }

    RecordingClass m_class{L"Morvane GLX Test"};
    XServer m_server;
};

}  // namespace

TEST_F(Glx, DriverSequenceFindsFourSamplesAndDraws)
{
    // The throw-away window: a format from ChoosePixelFormat and a temporary context.
    HWND dummy = Create(L"DummyWindow", CW_USEDEFAULT, CW_USEDEFAULT, 0, 0);
    HDC dummyDc = GetDC(dummy);
    PIXELFORMATDESCRIPTOR descriptor = DriverDescriptor(24);
    int candidate = ChoosePixelFormat(dummyDc, &descriptor);
    ASSERT_GT(candidate, 0) << LastErrorText();
    PIXELFORMATDESCRIPTOR described{};
    ASSERT_GE(DescribePixelFormat(dummyDc, candidate, sizeof described, &described), candidate);
    EXPECT_EQ(described.dwFlags & 0x25u, 0x25u);
    EXPECT_EQ(described.cColorBits, 24);
    EXPECT_EQ(described.cDepthBits, 24);

    ASSERT_TRUE(SetPixelFormat(dummyDc, candidate, &descriptor)) << LastErrorText();
    HGLRC temporary = wglCreateContext(dummyDc);
    ASSERT_NE(temporary, nullptr) << LastErrorText();
    ASSERT_TRUE(wglMakeCurrent(dummyDc, temporary)) << LastErrorText();
    EXPECT_EQ(wglGetCurrentContext(), temporary);
    EXPECT_EQ(wglGetCurrentDC(), dummyDc);

    auto extensions = Lookup<GetExtensionsStringArb>("wglGetExtensionsStringARB");
    ASSERT_NE(extensions, nullptr);
    const char* list = extensions(wglGetCurrentDC());
    ASSERT_NE(list, nullptr);
    EXPECT_TRUE(HasWord(list, "WGL_ARB_multisample")) << list;
    EXPECT_TRUE(HasWord(list, "WGL_ARB_pixel_format")) << list;

    auto choose = Lookup<ChoosePixelFormatArb>("wglChoosePixelFormatARB");
    ASSERT_NE(choose, nullptr);
    // The driver's search steps the sample count down; this server offers 4 samples only.
    EXPECT_EQ(ChooseMultisampled(choose, dummyDc, 24, 32), 0);
    EXPECT_EQ(ChooseMultisampled(choose, dummyDc, 24, 16), 0);
    EXPECT_EQ(ChooseMultisampled(choose, dummyDc, 24, 5), 0) << "sample counts match exactly";
    int multisampled = ChooseMultisampled(choose, dummyDc, 24, 4);
    ASSERT_GT(multisampled, 0);
    EXPECT_EQ(ChooseMultisampled(choose, dummyDc, 24, 0), 0)
        << "sample buffers without samples match nothing";
    EXPECT_EQ(ChooseMultisampled(choose, dummyDc, 20, 4), 0) << "depth bits match exactly";
    EXPECT_GT(ChooseMultisampled(choose, dummyDc, 16, 4), 0);

    ASSERT_TRUE(wglMakeCurrent(dummyDc, nullptr));
    EXPECT_EQ(wglGetCurrentContext(), nullptr);
    ASSERT_TRUE(wglDeleteContext(temporary));
    ASSERT_TRUE(DestroyWindow(dummy));

    // The real window, shown before it gets its format, as the main window is.
    HWND hwnd = Create(L"Morvane GLX", 30, 40, 160, 120);
    ShowWindow(hwnd, SW_SHOW);
    HDC dc = GetDC(hwnd);
    Window xwindow = XWindowOf(hwnd);
    ASSERT_TRUE(SetPixelFormat(dc, multisampled, &descriptor)) << LastErrorText();
    EXPECT_EQ(GetDC(hwnd), dc);
    EXPECT_EQ(XWindowOf(hwnd), xwindow) << "other clients keep finding the same window";
    EXPECT_TRUE(m_server.IsShown(xwindow));
    EXPECT_EQ(m_server.TextProperty(xwindow, "_NET_WM_NAME"), "Morvane GLX");
    RECT outer{};
    GetWindowRect(hwnd, &outer);
    EXPECT_EQ(outer.left, 30);
    EXPECT_EQ(outer.top, 40);
    EXPECT_EQ(outer.right, 190);
    EXPECT_EQ(outer.bottom, 160);

    EXPECT_TRUE(SetPixelFormat(dc, multisampled, &descriptor)) << "the same format again is fine";
    EXPECT_FALSE(SetPixelFormat(dc, candidate, &descriptor));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PIXEL_FORMAT));
    EXPECT_NE(LastErrorText().find("only once"), std::string::npos) << LastErrorText();

    HGLRC context = wglCreateContext(dc);
    ASSERT_NE(context, nullptr) << LastErrorText();
    ASSERT_TRUE(wglMakeCurrent(dc, context)) << LastErrorText();
    ASSERT_EQ(glewInit(), static_cast<GLenum>(GLEW_OK));
    EXPECT_TRUE(GLEW_VERSION_2_1) << glGetString(GL_VERSION);
    EXPECT_TRUE(GLEW_EXT_gpu_shader4);
    EXPECT_TRUE(GLEW_ARB_draw_instanced);
    EXPECT_TRUE(GLEW_ARB_texture_float);
    GLint samples = 0;
    glGetIntegerv(GL_SAMPLES, &samples);
    EXPECT_EQ(samples, 4);

    glClearColor(1.0f, 0.5f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    unsigned char pixel[4] = {};
    glReadPixels(80, 60, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
    EXPECT_EQ(pixel[0], 255);
    EXPECT_NEAR(pixel[1], 128, 1);
    EXPECT_EQ(pixel[2], 0);
    EXPECT_TRUE(SwapBuffers(dc)) << LastErrorText();
    glFinish();
    // What the server shows in the window now, as a screenshot tool sees it.
    XImage* image = XGetImage(m_server.display(), xwindow, 80, 60, 1, 1, AllPlanes, ZPixmap);
    ASSERT_NE(image, nullptr);
    unsigned long shown = XGetPixel(image, 0, 0);
    XDestroyImage(image);
    EXPECT_EQ((shown >> 16) & 0xFF, 255u) << std::hex << shown;
    EXPECT_NEAR(static_cast<double>((shown >> 8) & 0xFF), 128.0, 1.0) << std::hex << shown;
    EXPECT_EQ(shown & 0xFF, 0u) << std::hex << shown;
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

    ASSERT_TRUE(wglMakeCurrent(dc, nullptr));
    ASSERT_TRUE(wglDeleteContext(context));
    EXPECT_FALSE(wglDeleteContext(context));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    ASSERT_TRUE(DestroyWindow(hwnd));
}

TEST_F(Glx, FailuresTellTheirCause)
{
    HWND hwnd = Create(L"No Format", 0, 0, 64, 64);
    HDC dc = GetDC(hwnd);

    EXPECT_EQ(wglCreateContext(dc), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PIXEL_FORMAT));
    EXPECT_NE(LastErrorText().find("SetPixelFormat"), std::string::npos) << LastErrorText();
    EXPECT_FALSE(SwapBuffers(dc));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PIXEL_FORMAT));
    EXPECT_FALSE(SwapBuffers(nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));

    int count = DescribePixelFormat(dc, 1, 0, nullptr);
    ASSERT_GT(count, 0);
    PIXELFORMATDESCRIPTOR described{};
    EXPECT_EQ(DescribePixelFormat(dc, count + 1, sizeof described, &described), 0);
    EXPECT_FALSE(SetPixelFormat(dc, 0, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PIXEL_FORMAT));
    EXPECT_NE(LastErrorText().find("numbered 1 to"), std::string::npos) << LastErrorText();

    PIXELFORMATDESCRIPTOR impossible = DriverDescriptor(24);
    impossible.cDepthBits = 64;
    EXPECT_EQ(ChoosePixelFormat(dc, &impossible), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PIXEL_FORMAT));
    EXPECT_NE(LastErrorText().find("64 depth"), std::string::npos) << LastErrorText();

    HGLRC bogus = reinterpret_cast<HGLRC>(static_cast<UINT_PTR>(0x999990));
    EXPECT_FALSE(wglMakeCurrent(dc, bogus));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    EXPECT_EQ(wglGetProcAddress("glCreateShader"), nullptr) << "no context is current";

    PIXELFORMATDESCRIPTOR descriptor = DriverDescriptor(24);
    ASSERT_TRUE(SetPixelFormat(dc, ChoosePixelFormat(dc, &descriptor), &descriptor));
    HGLRC context = wglCreateContext(dc);
    ASSERT_TRUE(wglMakeCurrent(dc, context));
    EXPECT_NE(wglGetProcAddress("glCreateShader"), nullptr);
    EXPECT_EQ(wglGetProcAddress("wglSwapIntervalEXT"), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PROC_NOT_FOUND));

    auto choose = Lookup<ChoosePixelFormatArb>("wglChoosePixelFormatARB");
    const int unknown[] = {0x2013, 0x202B, 0, 0};  // WGL_PIXEL_TYPE_ARB is not offered
    int format = 0;
    UINT found = 0;
    EXPECT_FALSE(choose(dc, unknown, nullptr, 1, &format, &found));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_DATA));

    // A window destroyed under its current context leaves nothing for GL to draw on; the
    // context is still released and deleted cleanly afterwards.
    ASSERT_TRUE(DestroyWindow(hwnd));
    EXPECT_FALSE(SwapBuffers(dc));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    EXPECT_TRUE(wglMakeCurrent(dc, nullptr));
    EXPECT_TRUE(wglDeleteContext(context));
}
