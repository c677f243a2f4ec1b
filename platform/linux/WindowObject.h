// The handle table of the layer: every HWND, whether an X11 window, a GTK dialog or one of its
// controls, names a WindowObject. The generic user32 calls (destroy, show, placement, texts,
// user data, dispatch) look the handle up here and forward to the object.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "../winapi/BaseTypes.h"
#include "../winapi/WindowApi.h"

namespace Platform {

class WindowObject {
public:
    virtual ~WindowObject() = default;

    // Hands a message to the window's procedure (a window procedure, or a dialog procedure
    // behind the dialog manager's default handling) and returns its result.
    virtual LRESULT Deliver(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) = 0;
    virtual BOOL Show(int command) = 0;
    virtual BOOL Update() { return TRUE; }
    // Outer rectangle in screen coordinates, frame included.
    virtual BOOL OuterRect(RECT& rect) = 0;
    // Client rectangle: left and top 0, right and bottom the client size.
    virtual BOOL ClientRect(RECT& rect) = 0;
    // Moves and sizes the outer rectangle (screen coordinates for top-level windows).
    virtual BOOL Move(int x, int y, int width, int height, BOOL repaint) = 0;
    virtual BOOL SetText(const std::wstring& text) = 0;
    virtual std::wstring Text() = 0;
    // Releases the native window. Called once, after WM_DESTROY was delivered to it and after
    // its child windows were destroyed.
    virtual void DestroyNative() = 0;

    LONG_PTR userData = 0;
    HWND parent = nullptr;
    int controlId = 0;
};

// Takes ownership of `window` and returns its new handle. Handles are never reused, so a stale
// handle is always recognised.
HWND AddWindow(std::unique_ptr<WindowObject> window);

// The object named by `hwnd`, or null with ERROR_INVALID_WINDOW_HANDLE as the last error.
WindowObject* FindWindowObject(HWND hwnd);

// The live windows whose parent is `parent`, in creation order.
std::vector<HWND> ChildWindows(HWND parent);

}  // namespace Platform
