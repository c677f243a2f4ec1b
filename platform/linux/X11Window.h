// A top-level window of the process on X: the WindowObject behind an HWND made by
// CreateWindowExW, with its X window and, once it has a pixel format, the GL surface.
#pragma once

#include <X11/Xlib.h>

#include <memory>
#include <string>

#include "WindowObject.h"
#include "X11WindowClass.h"

namespace Platform {

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
