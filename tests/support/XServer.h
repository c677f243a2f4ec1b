// The tests' own connection to the X server: a second client that looks at our windows the way
// other clients see them, finds them by title and sends them the window manager's close request.
#pragma once

#include <X11/Xlib.h>

#include <string>
#include <vector>

#include "platform/Windows.h"

namespace TestSupport {

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

    // The first window, anywhere under the root, whose _NET_WM_NAME or WM_NAME is `title`;
    // 0 when there is none.
    Window FindByTitle(const std::string& title);
    // Asks a top-level window to close, as a window manager's close button does (a
    // WM_DELETE_WINDOW client message), and waits until the server has it.
    void SendCloseRequest(Window window);

private:
    Window FindUnder(Window parent, const std::string& title);

    Display* m_display;
};

// The X window behind an HWND of the layer.
Window XWindowOf(HWND hwnd);

}  // namespace TestSupport
