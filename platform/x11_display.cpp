// The process's own X connection: opened from DISPLAY on first use (it also registers the X event
// message source then), atoms, window-manager detection, the X error trap, and the read of a
// window's frame extents on any connection.
#include <X11/XKBlib.h>
#include <X11/Xatom.h>

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>

#include "Windows.h"
#include "linux/PosixInternal.h"
#include "linux/UserInternal.h"
#include "linux/X11Internal.h"

namespace Platform {
namespace {

Display* g_display = nullptr;

// The error trap in force: the first error caught while it is active.
struct TrapRecord {
    bool active = false;
    bool failed = false;
    XErrorEvent error{};
};
TrapRecord g_trap;

int RecordError(Display*, XErrorEvent* error)
{
    if (g_trap.active && !g_trap.failed) {
        g_trap.failed = true;
        g_trap.error = *error;
    }
    return 0;
}

// The name of an extension's major opcode, for the error note.
std::string ExtensionName(Display* display, int majorOpcode)
{
    int count = 0;
    char** names = XListExtensions(display, &count);
    std::string found;
    for (int i = 0; names && i < count && found.empty(); ++i) {
        int major = 0, event = 0, error = 0;
        if (XQueryExtension(display, names[i], &major, &event, &error) && major == majorOpcode) {
            found = names[i];
        }
    }
    if (names) {
        XFreeExtensionList(names);
    }
    return found;
}

std::string RequestName(Display* display, const XErrorEvent& error)
{
    char text[128] = {};
    if (error.request_code < 128) {
        std::string number = std::to_string(error.request_code);
        XGetErrorDatabaseText(display, "XRequest", number.c_str(), number.c_str(), text, sizeof text);
        return text;
    }
    std::string extension = ExtensionName(display, error.request_code);
    if (extension.empty()) {
        return "request " + std::to_string(error.request_code) + "." + std::to_string(error.minor_code);
    }
    std::string key = extension + "." + std::to_string(error.minor_code);
    XGetErrorDatabaseText(display, "XRequest", key.c_str(), key.c_str(), text, sizeof text);
    return text;
}

// The X server went away (it ended, or the session closed): nothing can be drawn or shown any
// more. One sentence instead of a library's multi-line report, and no clean-up, since every
// clean-up step would talk to the lost server again.
int EndOnConnectionLoss(Display* display)
{
    const char* name = display ? DisplayString(display) : std::getenv("DISPLAY");
    std::fprintf(stderr,
                 "%s: lost the connection to the X display \"%s\" (the X server ended or the "
                 "session closed).\n",
                 program_invocation_short_name, name ? name : "");
    std::fflush(stderr);
    _exit(1);
}

}  // namespace

void HandleX11ConnectionLoss()
{
    XSetIOErrorHandler(EndOnConnectionLoss);
}

Display* X11Connection()
{
    if (g_display) {
        return g_display;
    }
    const char* name = std::getenv("DISPLAY");
    if (!name || !*name) {
        SetLastErrorWithNote(ERROR_DEVICE_NOT_AVAILABLE,
                             L"No X display to open: the DISPLAY environment variable is not set.");
        return nullptr;
    }
    g_display = XOpenDisplay(name);
    if (!g_display) {
        SetLastErrorWithNote(ERROR_DEVICE_NOT_AVAILABLE,
                             L"Cannot open the X display \"" + Utf8ToWideText(name) +
                                 L"\" (named by DISPLAY).");
        return nullptr;
    }
    HandleX11ConnectionLoss();
    // A held key then repeats as presses alone, as on Windows, instead of release-press pairs.
    Bool detectable = False;
    XkbSetDetectableAutoRepeat(g_display, True, &detectable);
    AddMessageSource("x11", TakeX11Message);
    return g_display;
}

Display* X11ConnectionIfOpen()
{
    return g_display;
}

Atom X11Atom(const char* name)
{
    static std::map<std::string, Atom> cache;
    auto found = cache.find(name);
    if (found != cache.end()) {
        return found->second;
    }
    Atom atom = XInternAtom(g_display, name, False);
    cache[name] = atom;
    return atom;
}

bool X11WindowManagerRunning()
{
    Display* display = X11ConnectionIfOpen();
    if (!display) {
        return false;
    }
    Atom type = None;
    int format = 0;
    unsigned long count = 0, remaining = 0;
    unsigned char* data = nullptr;
    int status = XGetWindowProperty(display, DefaultRootWindow(display),
                                    X11Atom("_NET_SUPPORTING_WM_CHECK"), 0, 1, False, XA_WINDOW,
                                    &type, &format, &count, &remaining, &data);
    bool running = status == Success && type == XA_WINDOW && format == 32 && count == 1;
    if (data) {
        XFree(data);
    }
    return running;
}

X11ErrorTrap::X11ErrorTrap(Display* display)
    : m_display(display)
{
    // Errors of earlier requests belong to whoever made them, not to this trap.
    XSync(m_display, False);
    m_previousHandler = XSetErrorHandler(RecordError);
    g_trap = TrapRecord{};
    g_trap.active = true;
}

X11ErrorTrap::~X11ErrorTrap()
{
    XSync(m_display, False);
    g_trap.active = false;
    XSetErrorHandler(m_previousHandler);
}

bool X11ErrorTrap::Check(DWORD code, const std::wstring& operation)
{
    XSync(m_display, False);
    if (!g_trap.failed) {
        return true;
    }
    XErrorEvent error = g_trap.error;
    g_trap.failed = false;
    char errorText[256] = {};
    XGetErrorText(m_display, error.error_code, errorText, sizeof errorText);
    SetLastErrorWithNote(code, operation + L" failed: X error " + Utf8ToWideText(errorText) +
                                   L" in request " +
                                   Utf8ToWideText(RequestName(m_display, error)) + L".");
    return false;
}

bool ReadX11FrameExtents(Display* display, unsigned long window, long extents[4])
{
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long remaining = 0;
    unsigned char* data = nullptr;
    // Xlib keeps interned atoms, so this asks the server once per connection.
    Atom property = XInternAtom(display, "_NET_FRAME_EXTENTS", False);
    int status = XGetWindowProperty(display, window, property, 0, 4, False, XA_CARDINAL, &type,
                                    &format, &count, &remaining, &data);
    bool found = status == Success && data && type == XA_CARDINAL && format == 32 && count == 4;
    if (found) {
        const long* values = reinterpret_cast<const long*>(data);
        std::copy(values, values + 4, extents);
    }
    if (data) {
        XFree(data);
    }
    return found;
}

}  // namespace Platform
