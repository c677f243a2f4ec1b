// Creates, makes current and releases a window's rendering context.
#include "opengl/OpenglContext.h"

#include <string>

#include "common/Exception.h"

namespace OpenglDriver {

OpenglContext::OpenglContext(HDC dc_, int pixelFormat, const PIXELFORMATDESCRIPTOR* descriptor)
    : dc(dc_)
    , rc(NULL)
{
    if (SetPixelFormat(dc, pixelFormat, descriptor) != TRUE) {
        throw Common::Exception(std::wstring());
    }
    rc = wglCreateContext(dc);
    if (rc == NULL) {
        throw Common::Exception(std::wstring());
    }
    if (wglMakeCurrent(dc, rc) != TRUE) {
        Common::Exception failure{std::wstring()};
        wglDeleteContext(rc);
        throw failure;
    }
}

OpenglContext::OpenglContext()
    : dc(NULL)
    , rc(NULL)
{
}

OpenglContext::~OpenglContext()
{
    if (rc == NULL) {
        return;
    }
    wglMakeCurrent(dc, NULL);
    wglDeleteContext(rc);
}

}  // namespace OpenglDriver
