// The test's own X connection: window properties, geometry, lookup by title and close requests.
// GoogleTest comes before Xlib, whose macros (None, Bool) clash with its names.
#include <gtest/gtest.h>

#include "XServer.h"

#include <X11/Xatom.h>

#include "CloseRequest.h"
#include "platform/linux/X11Internal.h"

namespace TestSupport {
namespace {

bool g_xErrorSeen = false;

int NoteXError(Display*, XErrorEvent*)
{
    g_xErrorSeen = true;
    return 0;
}

// A window's property as Xlib hands it over (up to 1024 32-bit units of it), freed on leaving.
struct Property {
    Property(Display* display, Window window, const char* name, Atom wanted)
    {
        unsigned long remaining = 0;
        XGetWindowProperty(display, window, XInternAtom(display, name, False), 0, 1024, False,
                           wanted, &type, &format, &count, &remaining, &data);
    }
    ~Property()
    {
        if (data) {
            XFree(data);
        }
    }
    Property(const Property&) = delete;
    Property& operator=(const Property&) = delete;

    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned char* data = nullptr;
};

}  // namespace

XServer::XServer()
    : m_display(XOpenDisplay(nullptr))
{
    if (!m_display) {
        ADD_FAILURE() << "the test cannot open the display";
    }
}

XServer::~XServer()
{
    if (m_display) {
        XCloseDisplay(m_display);
    }
}

std::string XServer::TextProperty(Window window, const char* property)
{
    Property value(m_display, window, property, AnyPropertyType);
    return value.data ? std::string(reinterpret_cast<char*>(value.data), value.count) : std::string();
}

void XServer::Geometry(Window window, int& x, int& y, int& width, int& height)
{
    Window root = 0, child = 0;
    unsigned w = 0, h = 0, border = 0, depth = 0;
    XGetGeometry(m_display, window, &root, &x, &y, &w, &h, &border, &depth);
    XTranslateCoordinates(m_display, window, root, 0, 0, &x, &y, &child);
    width = static_cast<int>(w);
    height = static_cast<int>(h);
}

bool XServer::Exists(Window window)
{
    auto previous = XSetErrorHandler(NoteXError);
    g_xErrorSeen = false;
    XWindowAttributes attributes{};
    XGetWindowAttributes(m_display, window, &attributes);
    XSync(m_display, False);
    XSetErrorHandler(previous);
    return !g_xErrorSeen;
}

bool XServer::IsShown(Window window)
{
    XWindowAttributes attributes{};
    XGetWindowAttributes(m_display, window, &attributes);
    return attributes.map_state == IsViewable;
}

std::vector<unsigned long> XServer::Items(Window window, const char* property, Atom type)
{
    Property value(m_display, window, property, type);
    std::vector<unsigned long> items;
    if (value.data && value.type == type && value.format == 32) {
        // Xlib hands 32-bit items over as longs.
        const unsigned long* values = reinterpret_cast<const unsigned long*>(value.data);
        items.assign(values, values + value.count);
    }
    return items;
}

bool XServer::WindowManagerRunning()
{
    return m_display &&
           Items(DefaultRootWindow(m_display), "_NET_SUPPORTING_WM_CHECK", XA_WINDOW).size() == 1;
}

Window XServer::FindByTitle(const std::string& title)
{
    return FindUnder(DefaultRootWindow(m_display), title);
}

Window XServer::FindUnder(Window parent, const std::string& title)
{
    Window root = 0, parentOfParent = 0;
    Window* children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(m_display, parent, &root, &parentOfParent, &children, &count)) {
        return 0;
    }
    // A window manager reparents top-level windows into its frames, so look at every depth.
    std::vector<Window> found(children, children + count);
    if (children != nullptr) {
        XFree(children);
    }
    for (Window child : found) {
        if (TextProperty(child, "_NET_WM_NAME") == title || TextProperty(child, "WM_NAME") == title) {
            return child;
        }
        if (Window below = FindUnder(child, title)) {
            return below;
        }
    }
    return 0;
}

void XServer::SendCloseRequest(Window window)
{
    XEvent close{};
    close.xclient.type = ClientMessage;
    close.xclient.window = window;
    close.xclient.message_type = XInternAtom(m_display, "WM_PROTOCOLS", False);
    close.xclient.format = 32;
    close.xclient.data.l[0] = static_cast<long>(XInternAtom(m_display, "WM_DELETE_WINDOW", False));
    close.xclient.data.l[1] = CurrentTime;
    XSendEvent(m_display, window, False, NoEventMask, &close);
    XSync(m_display, False);
}

bool SendCloseRequest(const std::string& title)
{
    XServer server;
    if (server.display() == nullptr) {
        return false;
    }
    Window window = server.FindByTitle(title);
    if (window != 0) {
        server.SendCloseRequest(window);
    }
    return window != 0;
}

Window XWindowOf(HWND hwnd)
{
    Platform::X11Window* window = Platform::FindX11Window(hwnd);
    return window ? window->XWindow() : 0;
}

}  // namespace TestSupport
