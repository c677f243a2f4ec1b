// The rendering context of a window: applies a pixel format to the window's device context,
// creates the context and makes it current; releases it on destruction.
#pragma once

#include <boost/noncopyable.hpp>

#include "platform/Windows.h"

namespace OpenglDriver {

class OpenglContext : boost::noncopyable {
public:
    // Throws Common::Exception with an empty message when SetPixelFormat, wglCreateContext or
    // wglMakeCurrent fails.
    OpenglContext(HDC dc, int pixelFormat, const PIXELFORMATDESCRIPTOR* descriptor);
    // No context of its own: the one current on this thread belongs to someone else.
    OpenglContext();
    // Makes no context current, then deletes this one (when it has one).
    ~OpenglContext();

    HDC dc;
    HGLRC rc;
};

}  // namespace OpenglDriver
