// The user family's internal header: names compared as Windows compares them, the thread's
// message queue and its sources, and the handle table every HWND lives in.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "../winapi/BaseTypes.h"
#include "../winapi/WindowApi.h"

namespace Platform {

// Case-insensitive names as Windows treats them: window classes, control classes, font faces and
// resource names match whatever their case, and the same way whatever the user's locale (the
// C library's towlower would turn 'I' into a dotless 'ı' under a Turkish locale).

// One character in lower or upper case by Unicode's locale-independent simple case mapping.
wchar_t LowerNameChar(wchar_t c);
wchar_t UpperNameChar(wchar_t c);

// The whole name in lower case, as the key of a table that ignores case.
std::wstring LowerName(const std::wstring& name);

// Whether two names are the same without regard to case.
bool SameName(const std::wstring& name, const std::wstring& other);

// The thread's message queue: messages posted by the layer and the program, and the message
// sources (X events, GTK) that PeekMessageW serves in turn so that none starves.

// Appends a message to the posted-message queue (PostMessageW without the handle check).
void PostToQueue(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// A source of messages polled by PeekMessageW. It returns true and fills `msg` when it has a
// message; it may also post messages to the queue and return false. It must never block.
using MessageSource = std::function<bool(MSG& msg)>;

// Registers a source once; `name` identifies it so a second registration replaces the first.
void AddMessageSource(const char* name, MessageSource source);

// Removes all posted messages and the quit request (used when a test starts afresh).
void ResetMessageQueue();

// The handle table of the layer: every HWND, whether an X11 window, a GTK dialog or one of its
// controls, names a WindowObject. The generic user32 calls (destroy, show, placement, texts,
// user data, dispatch) look the handle up here and forward to the object.

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
