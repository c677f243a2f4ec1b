// CreateWindowExW and GetDC for X windows, and the lookups from handles, device contexts and X
// window ids to X11Window objects.
#include <map>
#include <memory>

#include "Windows.h"
#include "linux/PosixInternal.h"
#include "linux/X11Internal.h"

namespace Platform {
namespace {

std::map<::Window, HWND>& XWindows()
{
    static std::map<::Window, HWND> windows;
    return windows;
}

}  // namespace

X11Window* FindX11Window(HWND hwnd)
{
    WindowObject* object = FindWindowObject(hwnd);
    if (!object) {
        return nullptr;
    }
    auto* window = dynamic_cast<X11Window*>(object);
    if (!window) {
        SetLastErrorWithNote(ERROR_INVALID_WINDOW_HANDLE,
                             L"The handle names a dialog or control, not a top-level window.");
    }
    return window;
}

X11Window* FindX11WindowByDc(HDC dc)
{
    if (!dc) {
        SetLastErrorWithNote(ERROR_INVALID_HANDLE, L"The device context handle is null.");
        return nullptr;
    }
    WindowObject* object = FindWindowObject(reinterpret_cast<HWND>(dc));
    auto* window = dynamic_cast<X11Window*>(object);
    if (!window) {
        SetLastErrorWithNote(ERROR_INVALID_HANDLE,
                             L"The device context does not belong to a live window.");
    }
    return window;
}

HWND FindHwndOfXWindow(::Window window)
{
    auto found = XWindows().find(window);
    return found == XWindows().end() ? nullptr : found->second;
}

void RememberXWindow(::Window window, HWND hwnd)
{
    XWindows()[window] = hwnd;
}

void ForgetXWindow(::Window window)
{
    XWindows().erase(window);
}

}  // namespace Platform

HWND WINAPI CreateWindowExW(DWORD, LPCWSTR className, LPCWSTR windowName, DWORD style, int x,
                            int y, int width, int height, HWND parent, HMENU, HINSTANCE, LPVOID)
{
    using namespace Platform;
    std::shared_ptr<WindowClass> windowClass = FindWindowClass(className);
    if (!windowClass) {
        return nullptr;
    }
    if (parent && !FindWindowObject(parent)) {
        return nullptr;
    }
    if (style & WS_CHILD) {
        SetLastErrorWithNote(ERROR_NOT_SUPPORTED,
                             L"Only top-level windows can be created from a window class.");
        return nullptr;
    }
    auto window = std::make_unique<X11Window>(windowClass, windowName ? windowName : L"", parent,
                                              style, x, y, width, height);
    if (!window->XWindow()) {
        return nullptr;
    }
    X11Window* created = window.get();
    HWND hwnd = AddWindow(std::move(window));
    RememberXWindow(created->XWindow(), hwnd);
    windowClass->windowCount++;

    // No CREATESTRUCTW is declared here, so lParam is 0. The answer to WM_NCCREATE is not
    // checked because the default procedure answers 0 to every message.
    created->Deliver(hwnd, WM_NCCREATE, 0, 0);
    if (created->Deliver(hwnd, WM_CREATE, 0, 0) == -1) {
        DestroyWindow(hwnd);
        SetLastErrorWithNote(ERROR_INVALID_FUNCTION,
                             L"The window procedure answered WM_CREATE with -1.");
        return nullptr;
    }
    if (!IsWindow(hwnd)) {
        SetLastErrorWithNote(ERROR_INVALID_WINDOW_HANDLE,
                             L"The window was destroyed while it was being created.");
        return nullptr;
    }
    if (style & WS_VISIBLE) {
        ShowWindow(hwnd, SW_SHOW);
    }
    return hwnd;
}

HDC WINAPI GetDC(HWND hwnd)
{
    if (!hwnd) {
        Platform::SetLastErrorWithNote(ERROR_INVALID_WINDOW_HANDLE,
                                       L"Only windows have device contexts here.");
        return nullptr;
    }
    // The device context names the window itself, so it survives the re-creation of the X
    // window by SetPixelFormat.
    return Platform::FindX11Window(hwnd) ? reinterpret_cast<HDC>(hwnd) : nullptr;
}

HWND WINAPI WindowFromDC(HDC dc)
{
    // A device context names its window.
    HWND hwnd = reinterpret_cast<HWND>(dc);
    if (!dc || !Platform::FindX11Window(hwnd)) {
        Platform::SetLastErrorWithNote(ERROR_INVALID_HANDLE, L"The device context names no window.");
        return nullptr;
    }
    return hwnd;
}
