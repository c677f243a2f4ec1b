// Queries about a dialog's X window, asked on GDK's own X connection with X errors trapped (the
// window may be going away): frame extents, whether it is managed, where its client area is.
#include <gdk/gdkx.h>
#include <gtk/gtk.h>
#include <X11/Xlib.h>

#include "linux/GtkInternal.h"
#include "linux/X11Internal.h"

namespace Platform {
namespace {

// The window manager answers a request for frame extents within a few milliseconds; a second is
// far beyond that and bounds the wait when it never answers.
constexpr int FrameRequestMilliseconds = 5000;

Atom Intern(const char* name)
{
    return gdk_x11_get_xatom_by_name_for_display(gdk_display_get_default(), name);
}

bool ScreenSupports(const char* hint)
{
    return gdk_x11_screen_supports_net_wm_hint(gdk_screen_get_default(),
                                                gdk_atom_intern_static_string(hint));
}

}  // namespace

bool WindowManagerPresent()
{
    return ScreenSupports("_NET_FRAME_EXTENTS");
}

bool ReadFrameExtents(unsigned long xid, FrameExtents& extents)
{
    GdkDisplay* display = gdk_display_get_default();
    long values[4];
    gdk_x11_display_error_trap_push(display);
    bool found = ReadX11FrameExtents(GtkXDisplay(), xid, values);
    bool failed = gdk_x11_display_error_trap_pop(display) != 0;
    if (!found || failed) {
        return false;
    }
    extents.left = static_cast<int>(values[0]);
    extents.right = static_cast<int>(values[1]);
    extents.top = static_cast<int>(values[2]);
    extents.bottom = static_cast<int>(values[3]);
    return true;
}

FrameExtents RequestFrameExtents(unsigned long xid)
{
    FrameExtents extents;
    if (!WindowManagerPresent()) {
        return extents;
    }
    if (ScreenSupports("_NET_REQUEST_FRAME_EXTENTS")) {
        Display* xdisplay = GtkXDisplay();
        XEvent event{};
        event.xclient.type = ClientMessage;
        event.xclient.window = xid;
        event.xclient.message_type = Intern("_NET_REQUEST_FRAME_EXTENTS");
        event.xclient.format = 32;
        XSendEvent(xdisplay, DefaultRootWindow(xdisplay), False,
                   SubstructureNotifyMask | SubstructureRedirectMask, &event);
        XFlush(xdisplay);
        PumpUntil([&] { return ReadFrameExtents(xid, extents); }, FrameRequestMilliseconds);
    }
    return extents;
}

bool IsManaged(unsigned long xid)
{
    GdkDisplay* display = gdk_display_get_default();
    Display* xdisplay = GtkXDisplay();
    gdk_x11_display_error_trap_push(display);
    XWindowAttributes attributes{};
    bool viewable = XGetWindowAttributes(xdisplay, xid, &attributes) && attributes.map_state == IsViewable;
    Window root = None;
    Window parent = None;
    Window* children = nullptr;
    unsigned int count = 0;
    bool queried = viewable && XQueryTree(xdisplay, xid, &root, &parent, &children, &count);
    if (children) {
        XFree(children);
    }
    bool failed = gdk_x11_display_error_trap_pop(display) != 0;
    if (failed || !viewable) {
        return false;
    }
    return !WindowManagerPresent() || (queried && parent != root);
}

bool ClientAreaOnScreen(unsigned long xid, RECT& area)
{
    GdkDisplay* display = gdk_display_get_default();
    Display* xdisplay = GtkXDisplay();
    gdk_x11_display_error_trap_push(display);
    Window root = None;
    int x = 0;
    int y = 0;
    unsigned int width = 0;
    unsigned int height = 0;
    unsigned int border = 0;
    unsigned int depth = 0;
    Window child = None;
    bool ok = XGetGeometry(xdisplay, xid, &root, &x, &y, &width, &height, &border, &depth) &&
              XTranslateCoordinates(xdisplay, xid, root, 0, 0, &x, &y, &child);
    bool failed = gdk_x11_display_error_trap_pop(display) != 0;
    if (!ok || failed) {
        return false;
    }
    area.left = x;
    area.top = y;
    area.right = x + static_cast<int>(width);
    area.bottom = y + static_cast<int>(height);
    return true;
}

}  // namespace Platform
