// The x11 family's internal header: the display connection, the X events turned into messages,
// the monitors, the window classes and the X11 top-level window.
#pragma once

#include <X11/Xlib.h>

#include <memory>
#include <string>
#include <vector>

#include "../winapi/BaseTypes.h"
#include "../winapi/WindowApi.h"
#include "UserInternal.h"

namespace Platform {

// The process's own Xlib connection (separate from GDK's), its atoms, the trap that turns X
// protocol errors into last-error codes, and small helpers shared by the X11, GLX and GTK files.

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

// True when the window manager lists `hint` among the hints it supports (_NET_SUPPORTED).
bool X11WindowManagerSupports(const char* hint);

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

// The X event message source that PeekMessageW polls.

// Takes pending X events until one becomes a window message; never blocks. Returns false when
// no pending event makes a message.
bool TakeX11Message(MSG& msg);

// The monitors of the X screen and their work areas, behind MonitorFromWindow and
// GetMonitorInfoW, and the place where a window created at CW_USEDEFAULT goes.

// One monitor in screen coordinates: its whole rectangle, the part of it that the desktop's
// panels leave to windows, and whether it is the primary monitor.
struct MonitorArea {
    RECT monitor;
    RECT work;
    bool primary;
};

// The monitors as XRandR reports them (exactly one is primary), each with its work area: the
// monitor's rectangle within the current desktop's _NET_WORKAREA. The whole screen counts as one
// monitor where XRandR reports none. Empty, with the last error set, without a display.
std::vector<MonitorArea> X11Monitors();

// Where the outer corner of a top-level window created at CW_USEDEFAULT goes: a fixed step
// inside the top-left corner of the primary monitor's work area.
POINT DefaultWindowPosition();

// The registered window classes of the process, looked up by name (case-insensitively, as on
// Windows) or by atom.

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

// A top-level window of the process on X: the WindowObject behind an HWND made by
// CreateWindowExW, with its X window and, once it has a pixel format, the GL surface.

class X11Window : public WindowObject {
public:
    // Creates the X window (hidden) with the default visual; an owner keeps it in front of
    // itself, and the style tells the window manager which of resizing, minimising and
    // maximising the frame offers. On failure the last error is set and XWindow() is 0.
    X11Window(std::shared_ptr<WindowClass> windowClass, const std::wstring& text, HWND owner,
              DWORD style, int x, int y, int width, int height);
    ~X11Window() override;

    LRESULT Deliver(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) override;
    BOOL Show(int command) override;
    BOOL OuterRect(RECT& rect) override;
    BOOL ClientRect(RECT& rect) override;
    BOOL Move(int x, int y, int width, int height, BOOL repaint) override;
    BOOL SetText(const std::wstring& text) override;
    std::wstring Text() override;
    void DestroyNative() override;

    // The top-level X window; it keeps its id for the window's whole life.
    ::Window XWindow() const { return m_window; }
    // Where GL draws: the surface child once there is a pixel format, else the window itself.
    ::Window Drawable() const { return m_surface ? m_surface : m_window; }

    // The 1-based pixel format given by SetPixelFormat, 0 while there is none.
    int PixelFormat() const { return m_pixelFormat; }

    // Takes a pixel format. X fixes a window's visual when it is created, so GL gets a child
    // window with the format's visual that covers the client area (re-creating the window
    // itself would change the X id that other clients already know). Pointer events over it
    // reach the window itself, with the same coordinates. False with the last error set.
    bool TakePixelFormat(int format, Visual* visual, int depth);

    // Keeps the GL surface the size of the client area after the window was resized.
    void FitSurface();

private:
    bool CreateNative(int x, int y, int width, int height);
    void ReleaseNative();
    void WriteTitle();
    void WriteSizeHints(int x, int y);
    void WriteFrameFunctions();
    bool WaitForClientSize(int width, int height);
    bool IsMapped() const;
    void WaitUntilViewable();
    // Left, right, top and bottom frame widths added by the window manager, all 0 without one.
    void FrameExtents(long extents[4]);
    void WaitForFrameExtents();
    void FitOuterSize();

    std::shared_ptr<WindowClass> m_class;
    std::wstring m_text;
    DWORD m_style;
    ::Window m_window = 0;
    ::Window m_surface = 0;
    Colormap m_surfaceColormap = 0;
    int m_pixelFormat = 0;
    // The outer size asked for by the program; the client shrinks by the frame to keep it.
    int m_outerWidth;
    int m_outerHeight;
};

// The X11Window named by `hwnd`, or null with ERROR_INVALID_WINDOW_HANDLE as the last error.
X11Window* FindX11Window(HWND hwnd);

// The X11Window named by a device context from GetDC, or null with the last error set.
X11Window* FindX11WindowByDc(HDC dc);

// Called with a window's GL drawable just before the window is destroyed, so that whatever draws
// to it (a GL context current on it) lets go first. The GLX family installs it with its first
// context; the window side knows nothing of GL.
typedef void (*DrawableReleaseHook)(::Window drawable);
void SetDrawableReleaseHook(DrawableReleaseHook hook);

// The handle of the window shown by an X window of ours, or null when it is not ours.
HWND FindHwndOfXWindow(::Window window);
void RememberXWindow(::Window window, HWND hwnd);
void ForgetXWindow(::Window window);

}  // namespace Platform
