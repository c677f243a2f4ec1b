// Pixel-format selection on a throw-away window: ChoosePixelFormat first (24 depth bits, else
// 16), then, with a temporary context on that format, a search for the largest multisampled
// format from the requested sample count down.
#include "opengl/PixelFormatRequest.h"

#include <string>

#include "common/Exception.h"
#include "framework/Win32Window.h"
#include "opengl/OpenglContext.h"
#include "opengl/WglExtensions.h"

namespace OpenglDriver {
PIXELFORMATDESCRIPTOR MakePixelFormatDescriptor(int32_t depthBits)
{
    PIXELFORMATDESCRIPTOR descriptor = {};
    descriptor.nSize = sizeof(PIXELFORMATDESCRIPTOR);
    descriptor.nVersion = 1;
    descriptor.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    descriptor.iPixelType = PFD_TYPE_RGBA;
    descriptor.cColorBits = 24;
    descriptor.cDepthBits = static_cast<BYTE>(depthBits);
    descriptor.iLayerType = PFD_MAIN_PLANE;
    return descriptor;
}

int PixelFormatRequest::SelectPixelFormat()
{
    descriptor = MakePixelFormatDescriptor(depthBits);
    RealTimeApp::Win32Window dummy(L"DummyWindow", 0, 0, DefWindowProcW);

    int format = ChoosePixelFormat(dummy.hdc, &descriptor);
    if (format == 0) {
        descriptor.cDepthBits = 16;
        format = ChoosePixelFormat(dummy.hdc, &descriptor);
        if (format == 0) {
            throw Common::Exception(std::wstring());
        }
        depthBits = 16;
    }

    // A context on the chosen format, current while the extension functions are asked for.
    OpenglContext context(dummy.hdc, format, &descriptor);

    PFNWGLCHOOSEPIXELFORMATARBPROC choosePixelFormat =
        WglFunction<PFNWGLCHOOSEPIXELFORMATARBPROC>("wglChoosePixelFormatARB");
    if (choosePixelFormat != nullptr && IsWglExtensionSupported("WGL_ARB_multisample")) {
        const FLOAT floatAttributes[] = {0.0f, 0.0f};
        for (int32_t n = samples; n >= 0; --n) {
            const int intAttributes[] = {
                WGL_DRAW_TO_WINDOW_ARB, 1,
                WGL_SUPPORT_OPENGL_ARB, 1,
                WGL_ACCELERATION_ARB, WGL_FULL_ACCELERATION_ARB,
                WGL_COLOR_BITS_ARB, 24,
                WGL_ALPHA_BITS_ARB, 8,
                WGL_DEPTH_BITS_ARB, depthBits,
                WGL_STENCIL_BITS_ARB, 0,
                WGL_DOUBLE_BUFFER_ARB, 1,
                WGL_SAMPLE_BUFFERS_ARB, 1,
                WGL_SAMPLES_ARB, n,
                0, 0};
            int found = 0;
            UINT foundCount = 0;
            if (choosePixelFormat(dummy.hdc, intAttributes, floatAttributes, 1, &found,
                                  &foundCount) == TRUE
                && foundCount >= 1) {
                samples = n;
                format = found;
                break;
            }
        }
    }
    return format;
}

}  // namespace OpenglDriver
