// X11Window: a top-level window on X with Win32 semantics: hidden at creation, outer size frame
// included, the caption as the X title, placement (CW_USEDEFAULT at a fixed place in the work
// area), and the GL surface of its pixel format.
#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/cursorfont.h>

#include <algorithm>
#include <utility>

#include "Windows.h"
#include "linux/PosixInternal.h"
#include "linux/X11Internal.h"

namespace Platform {
namespace {

// How long to wait for the window manager to map, frame or resize a window. Each wait ends as
// soon as the manager has done it; a busy machine can keep a manager busy for seconds.
const int kWindowManagerWaitMs = 5000;

const long kEventMask = PointerMotionMask | ButtonPressMask | ButtonReleaseMask | KeyPressMask |
                        KeyReleaseMask | StructureNotifyMask | PropertyChangeMask;

// Windows' size for a window created with CW_USEDEFAULT as its width.
const int kDefaultWidth = 640;
const int kDefaultHeight = 480;

// Latin-1 form of a text for WM_NAME, whose type STRING cannot hold other characters.
std::string Latin1(const std::wstring& text)
{
    std::string result;
    for (wchar_t c : text) {
        result += static_cast<unsigned>(c) <= 0xFF ? static_cast<char>(c) : '?';
    }
    return result;
}

DrawableReleaseHook g_drawableReleaseHook = nullptr;

Cursor ArrowCursor(Display* display)
{
    static Cursor cursor = XCreateFontCursor(display, XC_left_ptr);
    return cursor;
}

}  // namespace

bool X11WindowManagerSupports(const char* hint)
{
    Display* display = X11ConnectionIfOpen();
    Atom type = None;
    int format = 0;
    unsigned long count = 0, remaining = 0;
    unsigned char* data = nullptr;
    bool supported = false;
    if (XGetWindowProperty(display, DefaultRootWindow(display), X11Atom("_NET_SUPPORTED"), 0,
                           4096, False, XA_ATOM, &type, &format, &count, &remaining,
                           &data) == Success &&
        data && format == 32) {
        Atom wanted = X11Atom(hint);
        const Atom* atoms = reinterpret_cast<const Atom*>(data);
        supported = std::find(atoms, atoms + count, wanted) != atoms + count;
    }
    if (data) {
        XFree(data);
    }
    return supported;
}

void SetDrawableReleaseHook(DrawableReleaseHook hook)
{
    g_drawableReleaseHook = hook;
}

X11Window::X11Window(std::shared_ptr<WindowClass> windowClass, const std::wstring& text,
                     HWND owner, DWORD style, int x, int y, int width, int height)
    : m_class(std::move(windowClass)), m_text(text), m_style(style)
{
    parent = owner;
    if (width == CW_USEDEFAULT) {
        width = kDefaultWidth;
        height = kDefaultHeight;
    }
    m_outerWidth = std::max(0, width);
    m_outerHeight = std::max(0, height);
    if (X11Connection()) {
        if (x == CW_USEDEFAULT) {
            // Always the same place, whatever windows came before: a window manager left to
            // place it would centre it, and the program places its other windows beside it.
            POINT position = DefaultWindowPosition();
            x = position.x;
            y = position.y;
        }
        CreateNative(x, y, m_outerWidth, m_outerHeight);
    }
}

X11Window::~X11Window()
{
    ReleaseNative();
}

bool X11Window::CreateNative(int x, int y, int width, int height)
{
    Display* display = X11ConnectionIfOpen();
    int screen = DefaultScreen(display);
    X11ErrorTrap trap(display);
    XSetWindowAttributes attributes{};
    attributes.event_mask = kEventMask;
    ::Window window = XCreateWindow(display, DefaultRootWindow(display), x, y,
                                    static_cast<unsigned>(std::max(1, width)),
                                    static_cast<unsigned>(std::max(1, height)), 0,
                                    DefaultDepth(display, screen), InputOutput,
                                    DefaultVisual(display, screen), CWEventMask, &attributes);
    if (!trap.Check(ERROR_NO_SYSTEM_RESOURCES, L"Creating the X window")) {
        if (window) {
            XDestroyWindow(display, window);
        }
        return false;
    }
    m_window = window;

    Atom deleteWindow = X11Atom("WM_DELETE_WINDOW");
    XSetWMProtocols(display, m_window, &deleteWindow, 1);
    std::string className = WideToUtf8Text(m_class->name);
    XClassHint classHint{};
    classHint.res_name = const_cast<char*>("morvane");
    classHint.res_class = const_cast<char*>(className.c_str());
    XSetClassHint(display, m_window, &classHint);
    WriteSizeHints(x, y);
    WriteFrameFunctions();
    WriteTitle();
    if (m_class->cursor == ArrowCursorHandle()) {
        XDefineCursor(display, m_window, ArrowCursor(display));
    }
    if (parent) {
        if (auto* owner = dynamic_cast<X11Window*>(FindWindowObject(parent))) {
            XSetTransientForHint(display, m_window, owner->XWindow());
        }
    }
    if (!trap.Check(ERROR_NO_SYSTEM_RESOURCES, L"Setting up the X window")) {
        XDestroyWindow(display, m_window);
        m_window = 0;
        return false;
    }
    return true;
}

void X11Window::ReleaseNative()
{
    Display* display = X11ConnectionIfOpen();
    if (!display || !m_window) {
        return;
    }
    if (g_drawableReleaseHook) {
        g_drawableReleaseHook(Drawable());
    }
    X11ErrorTrap trap(display);
    // The surface goes with its parent.
    XDestroyWindow(display, m_window);
    if (m_surfaceColormap) {
        XFreeColormap(display, m_surfaceColormap);
    }
    trap.Check(ERROR_INVALID_WINDOW_HANDLE, L"Destroying the X window");
    m_window = 0;
    m_surface = 0;
    m_surfaceColormap = 0;
}

// The window manager's frame offers what the style has: a frame that resizes only with
// WS_THICKFRAME, the minimise and maximise buttons only with their boxes, closing with the
// system menu. Managers read this from the Motif hints.
void X11Window::WriteFrameFunctions()
{
    enum : unsigned long {
        kFunctionsFlag = 1UL << 0,
        kResize = 1UL << 1,
        kMove = 1UL << 2,
        kMinimize = 1UL << 3,
        kMaximize = 1UL << 4,
        kClose = 1UL << 5,
    };
    unsigned long functions = kMove;
    if (m_style & WS_THICKFRAME) {
        functions |= kResize;
    }
    if (m_style & WS_MINIMIZEBOX) {
        functions |= kMinimize;
    }
    if (m_style & WS_MAXIMIZEBOX) {
        functions |= kMaximize;
    }
    if (m_style & WS_SYSMENU) {
        functions |= kClose;
    }
    // flags, functions, decorations, input mode, status
    unsigned long hints[5] = {kFunctionsFlag, functions, 0, 0, 0};
    Atom motifHints = X11Atom("_MOTIF_WM_HINTS");
    XChangeProperty(X11ConnectionIfOpen(), m_window, motifHints, motifHints, 32, PropModeReplace,
                    reinterpret_cast<unsigned char*>(hints), 5);
}

void X11Window::WriteSizeHints(int x, int y)
{
    XSizeHints* hints = XAllocSizeHints();
    if (!hints) {
        return;
    }
    // Without the position flags some window managers ignore the position asked for. With
    // north-west gravity the frame's outer corner goes there.
    hints->flags = PWinGravity | USPosition | PPosition;
    hints->win_gravity = NorthWestGravity;
    hints->x = x;
    hints->y = y;
    XSetWMNormalHints(X11ConnectionIfOpen(), m_window, hints);
    XFree(hints);
}

void X11Window::WriteTitle()
{
    Display* display = X11ConnectionIfOpen();
    std::string utf8 = WideToUtf8Text(m_text);
    XChangeProperty(display, m_window, X11Atom("_NET_WM_NAME"), X11Atom("UTF8_STRING"), 8,
                    PropModeReplace, reinterpret_cast<const unsigned char*>(utf8.data()),
                    static_cast<int>(utf8.size()));
    std::string latin1 = Latin1(m_text);
    XChangeProperty(display, m_window, XA_WM_NAME, XA_STRING, 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(latin1.data()),
                    static_cast<int>(latin1.size()));
}

LRESULT X11Window::Deliver(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    return m_class->procedure(hwnd, message, wParam, lParam);
}

bool X11Window::IsMapped() const
{
    XWindowAttributes attributes{};
    if (!XGetWindowAttributes(X11ConnectionIfOpen(), m_window, &attributes)) {
        return false;
    }
    return attributes.map_state != IsUnmapped;
}

void X11Window::WaitUntilViewable()
{
    Display* display = X11ConnectionIfOpen();
    WaitUntil(
        [&] {
            XWindowAttributes attributes{};
            return XGetWindowAttributes(display, m_window, &attributes) &&
                   attributes.map_state == IsViewable;
        },
        kWindowManagerWaitMs);
}

void X11Window::FrameExtents(long extents[4])
{
    std::fill(extents, extents + 4, 0L);
    ReadX11FrameExtents(X11ConnectionIfOpen(), m_window, extents);
}

void X11Window::WaitForFrameExtents()
{
    if (!X11WindowManagerRunning() || !X11WindowManagerSupports("_NET_FRAME_EXTENTS")) {
        return;
    }
    Display* display = X11ConnectionIfOpen();
    WaitUntil(
        [&] {
            long extents[4];
            return ReadX11FrameExtents(display, m_window, extents);
        },
        kWindowManagerWaitMs);
}

bool X11Window::WaitForClientSize(int width, int height)
{
    Display* display = X11ConnectionIfOpen();
    return WaitUntil(
        [&] {
            ::Window root = 0;
            int x = 0, y = 0;
            unsigned w = 0, h = 0, border = 0, depth = 0;
            return XGetGeometry(display, m_window, &root, &x, &y, &w, &h, &border, &depth) &&
                   static_cast<int>(w) == width && static_cast<int>(h) == height;
        },
        kWindowManagerWaitMs);
}

// Shrinks the client so that client and frame together have the outer size asked for.
void X11Window::FitOuterSize()
{
    long extents[4];
    FrameExtents(extents);
    int width = std::max(1, m_outerWidth - static_cast<int>(extents[0] + extents[1]));
    int height = std::max(1, m_outerHeight - static_cast<int>(extents[2] + extents[3]));
    Display* display = X11ConnectionIfOpen();
    ::Window root = 0;
    int x = 0, y = 0;
    unsigned w = 0, h = 0, border = 0, depth = 0;
    XGetGeometry(display, m_window, &root, &x, &y, &w, &h, &border, &depth);
    if (static_cast<int>(w) != width || static_cast<int>(h) != height) {
        XResizeWindow(display, m_window, static_cast<unsigned>(width),
                      static_cast<unsigned>(height));
        WaitForClientSize(width, height);
        FitSurface();
    }
}

BOOL X11Window::Show(int command)
{
    Display* display = X11ConnectionIfOpen();
    bool wasVisible = IsMapped();
    if (command == SW_HIDE) {
        if (wasVisible) {
            XWithdrawWindow(display, m_window, DefaultScreen(display));
            XSync(display, False);
        }
        return wasVisible ? TRUE : FALSE;
    }
    if (!wasVisible) {
        XMapRaised(display, m_window);
        XSync(display, False);
        WaitUntilViewable();
        WaitForFrameExtents();
        FitOuterSize();
    }
    return wasVisible ? TRUE : FALSE;
}

BOOL X11Window::OuterRect(RECT& rect)
{
    Display* display = X11ConnectionIfOpen();
    ::Window child = 0;
    int left = 0, top = 0;
    XTranslateCoordinates(display, m_window, DefaultRootWindow(display), 0, 0, &left, &top, &child);
    if (!IsMapped()) {
        // Not framed yet: the outer size is the one asked for.
        rect = RECT{left, top, left + m_outerWidth, top + m_outerHeight};
        return TRUE;
    }
    long extents[4];
    FrameExtents(extents);
    RECT client{};
    ClientRect(client);
    rect.left = left - static_cast<LONG>(extents[0]);
    rect.top = top - static_cast<LONG>(extents[2]);
    rect.right = left + client.right + static_cast<LONG>(extents[1]);
    rect.bottom = top + client.bottom + static_cast<LONG>(extents[3]);
    return TRUE;
}

BOOL X11Window::ClientRect(RECT& rect)
{
    Display* display = X11ConnectionIfOpen();
    ::Window root = 0;
    int x = 0, y = 0;
    unsigned width = 0, height = 0, border = 0, depth = 0;
    XGetGeometry(display, m_window, &root, &x, &y, &width, &height, &border, &depth);
    // X has no empty windows: a window asked to be 0 wide stays 1 pixel wide on the server.
    rect.left = 0;
    rect.top = 0;
    rect.right = m_outerWidth == 0 ? 0 : static_cast<LONG>(width);
    rect.bottom = m_outerHeight == 0 ? 0 : static_cast<LONG>(height);
    return TRUE;
}

BOOL X11Window::Move(int x, int y, int width, int height, BOOL)
{
    Display* display = X11ConnectionIfOpen();
    m_outerWidth = std::max(0, width);
    m_outerHeight = std::max(0, height);
    long extents[4] = {0, 0, 0, 0};
    if (IsMapped()) {
        FrameExtents(extents);
    }
    int clientWidth = std::max(1, m_outerWidth - static_cast<int>(extents[0] + extents[1]));
    int clientHeight = std::max(1, m_outerHeight - static_cast<int>(extents[2] + extents[3]));
    X11ErrorTrap trap(display);
    WriteSizeHints(x, y);
    // With north-west gravity the window manager puts the frame's corner at (x, y).
    XMoveResizeWindow(display, m_window, x, y, static_cast<unsigned>(clientWidth),
                      static_cast<unsigned>(clientHeight));
    if (!trap.Check(ERROR_INVALID_PARAMETER, L"Moving the window")) {
        return FALSE;
    }
    WaitForClientSize(clientWidth, clientHeight);
    FitSurface();
    return TRUE;
}

BOOL X11Window::SetText(const std::wstring& text)
{
    m_text = text;
    X11ErrorTrap trap(X11ConnectionIfOpen());
    WriteTitle();
    return trap.Check(ERROR_INVALID_WINDOW_HANDLE, L"Setting the window title") ? TRUE : FALSE;
}

std::wstring X11Window::Text()
{
    return m_text;
}

void X11Window::DestroyNative()
{
    ForgetXWindow(m_window);
    ReleaseNative();
    m_class->windowCount--;
}

bool X11Window::TakePixelFormat(int format, Visual* visual, int depth)
{
    if (m_pixelFormat == format) {
        return true;
    }
    if (m_pixelFormat != 0) {
        SetLastErrorWithNote(ERROR_INVALID_PIXEL_FORMAT,
                             L"The window has pixel format " + std::to_wstring(m_pixelFormat) +
                                 L" already; a window takes its pixel format only once.");
        return false;
    }
    Display* display = X11ConnectionIfOpen();
    RECT client{};
    ClientRect(client);
    X11ErrorTrap trap(display);
    XSetWindowAttributes attributes{};
    // A visual other than the root's needs its own colormap and an explicit border pixel. The
    // surface selects no events, so pointer events over it go on to the window itself.
    Colormap colormap = XCreateColormap(display, m_window, visual, AllocNone);
    attributes.colormap = colormap;
    attributes.border_pixel = 0;
    ::Window surface = XCreateWindow(display, m_window, 0, 0,
                                     static_cast<unsigned>(std::max<LONG>(1, client.right)),
                                     static_cast<unsigned>(std::max<LONG>(1, client.bottom)), 0,
                                     depth, InputOutput, visual, CWColormap | CWBorderPixel,
                                     &attributes);
    if (!trap.Check(ERROR_INVALID_PIXEL_FORMAT,
                    L"Creating the GL surface for pixel format " + std::to_wstring(format))) {
        if (surface) {
            XDestroyWindow(display, surface);
        }
        XFreeColormap(display, colormap);
        return false;
    }
    XMapWindow(display, surface);
    ::Window colormapWindows[] = {surface, m_window};
    XSetWMColormapWindows(display, m_window, colormapWindows, 2);
    if (!trap.Check(ERROR_INVALID_PIXEL_FORMAT, L"Showing the GL surface")) {
        XDestroyWindow(display, surface);
        XFreeColormap(display, colormap);
        return false;
    }
    m_surface = surface;
    m_surfaceColormap = colormap;
    m_pixelFormat = format;
    return true;
}

void X11Window::FitSurface()
{
    if (!m_surface) {
        return;
    }
    Display* display = X11ConnectionIfOpen();
    ::Window root = 0;
    int x = 0, y = 0;
    unsigned width = 0, height = 0, border = 0, depth = 0;
    XGetGeometry(display, m_window, &root, &x, &y, &width, &height, &border, &depth);
    XResizeWindow(display, m_surface, width, height);
}

}  // namespace Platform
