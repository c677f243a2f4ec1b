// Test helpers: a second X connection of the test's own (to look at our windows the way another
// client sees them), a window class whose procedure records every message, and error texts.
#pragma once

#include <X11/Xlib.h>

#include <string>
#include <vector>

#include "platform/Windows.h"

namespace TestSupport {

// One message as the window procedure saw it.
struct Received {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

// Every message delivered to a RecordingClass window, in order.
std::vector<Received>& ReceivedMessages();

// Registers a class whose procedure records each message and then calls DefWindowProcW; on
// WM_DESTROY it also posts the quit message when `quitOnDestroy` is set.
class RecordingClass {
public:
    explicit RecordingClass(const wchar_t* name, bool quitOnDestroy = false);
    ~RecordingClass();
    const wchar_t* Name() const { return m_name.c_str(); }

private:
    std::wstring m_name;
};

// The test's own connection to the display.
class XServer {
public:
    XServer();
    ~XServer();
    Display* display() const { return m_display; }

    // The UTF-8 text of a window's property (_NET_WM_NAME, WM_NAME), empty when missing.
    std::string TextProperty(Window window, const char* property);
    // The window's size and its position on the root window.
    void Geometry(Window window, int& x, int& y, int& width, int& height);
    bool Exists(Window window);
    bool IsShown(Window window);
    // The 32-bit items of a window's property of the given type (atoms, windows, cardinals),
    // empty when it is missing or of another type.
    std::vector<unsigned long> Items(Window window, const char* property, Atom type);
    // True when a window manager has announced itself on the root window.
    bool WindowManagerRunning();

private:
    Display* m_display;
};

// FormatMessageW of the current last error (code, text and note), non-ASCII shown as '?'.
std::string LastErrorText();

// The X window behind an HWND of the layer.
Window XWindowOf(HWND hwnd);

}  // namespace TestSupport
