// The process's own Xlib connection (separate from GDK's), its atoms, the trap that turns X
// protocol errors into last-error codes, and small helpers shared by the X11, GLX and GTK files.
#pragma once

#include <X11/Xlib.h>

#include <string>

#include "../winapi/BaseTypes.h"

namespace Platform {

// The connection, opened from DISPLAY on first use. When it cannot be opened the result is null
// and the last error says which display was tried.
Display* X11Connection();

// The connection if it is already open; null otherwise, without touching the last error.
Display* X11ConnectionIfOpen();

// Makes the loss of any X connection of the process (ours or GDK's: Xlib has one handler for
// all of them) end the process at once with status 1 and one line on standard error naming the
// display. Called when a connection opens; GDK installs a handler of its own when it starts, so
// it is called again after that.
void HandleX11ConnectionLoss();

// The atom of `name`, created when missing.
Atom X11Atom(const char* name);

// True when a window manager announces itself on the root window (_NET_SUPPORTING_WM_CHECK).
bool X11WindowManagerRunning();

// Catches the X protocol errors caused by the requests made while it lives. Check() waits for
// the server to process them and, when one failed, sets the last error to `code` with a note
// naming the operation, the request and the X error, and returns false.
class X11ErrorTrap {
public:
    explicit X11ErrorTrap(Display* display);
    ~X11ErrorTrap();
    X11ErrorTrap(const X11ErrorTrap&) = delete;
    X11ErrorTrap& operator=(const X11ErrorTrap&) = delete;

    bool Check(DWORD code, const std::wstring& operation);

private:
    Display* m_display;
    int (*m_previousHandler)(Display*, XErrorEvent*);
};

// Reads the frame that the window manager has put around `window` (_NET_FRAME_EXTENTS: left,
// right, top, bottom) on `display`, ours or GDK's; false, with `extents` untouched, while the
// window has none. X errors (the window may be gone) are for the caller to trap.
bool ReadX11FrameExtents(Display* display, unsigned long window, long extents[4]);

}  // namespace Platform
