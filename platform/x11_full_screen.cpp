// Full screen on X: the window manager is asked to add or remove _NET_WM_STATE_FULLSCREEN for
// the window, as the window-manager specification has clients do (a client message to the root
// window); the manager fills the window's monitor with it and later puts back its frame and place.
#include <X11/Xlib.h>

#include "FullScreen.h"
#include "linux/PosixInternal.h"
#include "linux/X11Internal.h"

namespace Platform {
namespace {

// _NET_WM_STATE's actions and the source of the request (a normal application).
const long kStateRemove = 0;
const long kStateAdd = 1;
const long kSourceApplication = 1;

}  // namespace

bool SetFullScreen(HWND hwnd, bool fullScreen, std::wstring& reason)
{
    X11Window* window = FindX11Window(hwnd);
    if (!window || !window->XWindow()) {
        reason = L"The window to show full screen is not a top-level window of this program.";
        return false;
    }
    if (!X11WindowManagerRunning() || !X11WindowManagerSupports("_NET_WM_STATE_FULLSCREEN")) {
        reason = L"Full screen needs a window manager that offers it (_NET_WM_STATE_FULLSCREEN), and none "
                 L"does here.";
        return false;
    }
    Display* display = X11ConnectionIfOpen();
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window->XWindow();
    event.xclient.message_type = X11Atom("_NET_WM_STATE");
    event.xclient.format = 32;
    event.xclient.data.l[0] = fullScreen ? kStateAdd : kStateRemove;
    event.xclient.data.l[1] = static_cast<long>(X11Atom("_NET_WM_STATE_FULLSCREEN"));
    event.xclient.data.l[2] = 0;
    event.xclient.data.l[3] = kSourceApplication;
    X11ErrorTrap trap(display);
    XSendEvent(display, DefaultRootWindow(display), False, SubstructureRedirectMask | SubstructureNotifyMask,
               &event);
    if (!trap.Check(ERROR_INVALID_WINDOW_HANDLE, L"Asking the window manager for full screen")) {
        reason = L"The window manager could not be asked for full screen (" + LastErrorNote() + L").";
        return false;
    }
    return true;
}

}  // namespace Platform
