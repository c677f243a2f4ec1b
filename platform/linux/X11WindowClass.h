// The registered window classes of the process, looked up by name (case-insensitively, as on
// Windows) or by atom.
#pragma once

#include <memory>
#include <string>

#include "../winapi/WindowApi.h"

namespace Platform {

struct WindowClass {
    std::wstring name;
    ATOM atom = 0;
    UINT style = 0;
    WNDPROC procedure = nullptr;
    HCURSOR cursor = nullptr;
    // Live windows of the class; a class with windows cannot be unregistered.
    int windowCount = 0;
};

// The class named by `name` (a string or an atom made with MAKEINTRESOURCEW), or null with
// ERROR_CANNOT_FIND_WND_CLASS as the last error.
std::shared_ptr<WindowClass> FindWindowClass(LPCWSTR name);

// The stock arrow cursor that LoadCursorW hands out.
HCURSOR ArrowCursorHandle();

}  // namespace Platform
