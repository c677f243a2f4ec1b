// One registered window class with one window and its device context. The window is created
// hidden; the destructor destroys it and unregisters the class.
#pragma once

#include <string>

#include <boost/noncopyable.hpp>

#include "platform/Windows.h"

namespace RealTimeApp {

class Win32Window : boost::noncopyable {
public:
    // Registers the class caption + "Class" and creates the window with the given outer size.
    // Throws Common::Exception with an empty message when registration or creation fails.
    Win32Window(const std::wstring& caption, unsigned width, unsigned height, WNDPROC proc);
    ~Win32Window();

    HWND hwnd;
    HDC hdc;
    std::wstring className;
};

}  // namespace RealTimeApp
