// Finds the window by title on a connection of the test's own and sends WM_DELETE_WINDOW.
#include "CloseRequest.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstring>

namespace FrameworkTesting {
namespace {

bool HasTitle(Display* display, Window window, const std::string& title)
{
    XTextProperty property;
    bool match = false;
    Atom netName = XInternAtom(display, "_NET_WM_NAME", False);
    if (XGetTextProperty(display, window, &property, netName) && property.value != nullptr) {
        match = title == reinterpret_cast<const char*>(property.value);
        XFree(property.value);
    }
    if (!match && XGetWMName(display, window, &property) && property.value != nullptr) {
        match = title == reinterpret_cast<const char*>(property.value);
        XFree(property.value);
    }
    return match;
}

Window FindByTitle(Display* display, Window parent, const std::string& title)
{
    Window root = 0, parentOfParent = 0;
    Window* children = nullptr;
    unsigned count = 0;
    Window found = 0;
    if (XQueryTree(display, parent, &root, &parentOfParent, &children, &count)) {
        for (unsigned i = 0; i < count && found == 0; ++i) {
            found = HasTitle(display, children[i], title)
                        ? children[i]
                        : FindByTitle(display, children[i], title);
        }
        if (children != nullptr) {
            XFree(children);
        }
    }
    return found;
}

}  // namespace

bool SendCloseRequest(const std::string& title)
{
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        return false;
    }
    Window window = FindByTitle(display, DefaultRootWindow(display), title);
    if (window != 0) {
        XEvent event;
        std::memset(&event, 0, sizeof(event));
        event.xclient.type = ClientMessage;
        event.xclient.window = window;
        event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
        event.xclient.format = 32;
        event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
        event.xclient.data.l[1] = CurrentTime;
        XSendEvent(display, window, False, NoEventMask, &event);
        XSync(display, False);
    }
    XCloseDisplay(display);
    return window != 0;
}

}  // namespace FrameworkTesting
