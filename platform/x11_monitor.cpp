// Monitors on X: their rectangles from XRandR, their work areas from the window manager's
// _NET_WORKAREA, MonitorFromWindow and GetMonitorInfoW, and the default place of a new window.
#include <X11/Xatom.h>
#include <X11/extensions/Xrandr.h>

#include <algorithm>
#include <cstdint>

#include "Windows.h"
#include "linux/PosixInternal.h"
#include "linux/UserInternal.h"
#include "linux/X11Internal.h"

namespace Platform {
namespace {

// How far inside the work area's top-left corner a window created at CW_USEDEFAULT stands.
const int kDefaultPositionStep = 8;

RECT Intersection(const RECT& a, const RECT& b)
{
    RECT common{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                std::min(a.bottom, b.bottom)};
    if (common.right <= common.left || common.bottom <= common.top) {
        return RECT{0, 0, 0, 0};
    }
    return common;
}

long long Area(const RECT& rect)
{
    return static_cast<long long>(rect.right - rect.left) * (rect.bottom - rect.top);
}

// Squared distance between two rectangles, 0 when they touch or overlap.
long long DistanceSquared(const RECT& a, const RECT& b)
{
    long long dx = std::max({0L, static_cast<long>(b.left - a.right), static_cast<long>(a.left - b.right)});
    long long dy = std::max({0L, static_cast<long>(b.top - a.bottom), static_cast<long>(a.top - b.bottom)});
    return dx * dx + dy * dy;
}

// The 32-bit items of a CARDINAL property of the root window. Xlib hands format-32 items over as
// longs, sign-extended from 32 bits: each is cut back to its 32 bits, so 0xFFFFFFFF stays a large
// number and never becomes -1.
std::vector<unsigned long> RootCardinals(Display* display, const char* name)
{
    std::vector<unsigned long> values;
    Atom type = None;
    int format = 0;
    unsigned long count = 0, remaining = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(display, DefaultRootWindow(display), X11Atom(name), 0, 1024, False,
                           XA_CARDINAL, &type, &format, &count, &remaining, &data) == Success &&
        data && type == XA_CARDINAL && format == 32) {
        const long* items = reinterpret_cast<const long*>(data);
        for (unsigned long i = 0; i < count; ++i) {
            values.push_back(static_cast<unsigned long>(items[i]) & 0xFFFFFFFFUL);
        }
    }
    if (data) {
        XFree(data);
    }
    return values;
}

// The current desktop's work area as the window manager announces it; false when it does not.
bool DesktopWorkArea(Display* display, RECT& area)
{
    std::vector<unsigned long> areas = RootCardinals(display, "_NET_WORKAREA");
    std::vector<unsigned long> current = RootCardinals(display, "_NET_CURRENT_DESKTOP");
    if (areas.size() < 4) {
        return false;
    }
    // A current desktop the list has no area for (or none announced) takes the first one's.
    const size_t desktops = areas.size() / 4;
    const size_t desktop = !current.empty() && current[0] < desktops ? static_cast<size_t>(current[0]) : 0;
    // The area's corner may lie left of or above the screen's origin; its size never wraps.
    const long x = static_cast<int32_t>(static_cast<uint32_t>(areas[4 * desktop]));
    const long y = static_cast<int32_t>(static_cast<uint32_t>(areas[4 * desktop + 1]));
    const unsigned long width = areas[4 * desktop + 2];
    const unsigned long height = areas[4 * desktop + 3];
    if (width == 0 || height == 0 || width > 0x7FFFFFFFUL || height > 0x7FFFFFFFUL) {
        return false;
    }
    area = RECT{static_cast<LONG>(x), static_cast<LONG>(y), static_cast<LONG>(x + static_cast<long>(width)),
                static_cast<LONG>(y + static_cast<long>(height))};
    return true;
}

// The monitors' rectangles from XRandR 1.5, the primary one first; empty when the server has no
// such XRandR or reports no monitor.
std::vector<RECT> RandrMonitors(Display* display)
{
    std::vector<RECT> rects;
    int eventBase = 0, errorBase = 0, major = 0, minor = 0;
    if (!XRRQueryExtension(display, &eventBase, &errorBase) ||
        !XRRQueryVersion(display, &major, &minor) || major < 1 || (major == 1 && minor < 5)) {
        return rects;
    }
    int count = 0;
    XRRMonitorInfo* monitors = XRRGetMonitors(display, DefaultRootWindow(display), True, &count);
    for (int i = 0; monitors && i < count; ++i) {
        RECT rect{monitors[i].x, monitors[i].y, monitors[i].x + monitors[i].width,
                  monitors[i].y + monitors[i].height};
        if (Area(rect) <= 0) {
            continue;
        }
        if (monitors[i].primary) {
            rects.insert(rects.begin(), rect);
        } else {
            rects.push_back(rect);
        }
    }
    if (monitors) {
        XRRFreeMonitors(monitors);
    }
    return rects;
}

// The last error for a display that shows no monitor: the connection's own failure where it has
// just failed (it names the display), and otherwise that the display reports no monitor.
void NoMonitorError()
{
    if (X11ConnectionIfOpen()) {
        SetLastErrorWithNote(ERROR_INVALID_MONITOR_HANDLE, L"The X display reports no monitor.");
    }
}

// A monitor handle is the monitor's 1-based place in X11Monitors().
HMONITOR MonitorHandle(size_t index)
{
    return reinterpret_cast<HMONITOR>(static_cast<uintptr_t>(index + 1));
}

}  // namespace

std::vector<MonitorArea> X11Monitors()
{
    std::vector<MonitorArea> result;
    Display* display = X11Connection();
    if (!display) {
        return result;
    }
    std::vector<RECT> rects = RandrMonitors(display);
    if (rects.empty()) {
        int screen = DefaultScreen(display);
        rects.push_back(RECT{0, 0, DisplayWidth(display, screen), DisplayHeight(display, screen)});
    }
    RECT desktop{};
    bool announced = DesktopWorkArea(display, desktop);
    for (size_t i = 0; i < rects.size(); ++i) {
        RECT work = announced ? Intersection(rects[i], desktop) : rects[i];
        if (Area(work) <= 0) {
            work = rects[i];
        }
        result.push_back(MonitorArea{rects[i], work, i == 0});
    }
    return result;
}

POINT DefaultWindowPosition()
{
    std::vector<MonitorArea> monitors = X11Monitors();
    if (monitors.empty()) {
        return POINT{kDefaultPositionStep, kDefaultPositionStep};
    }
    const RECT& work = monitors.front().work;
    return POINT{work.left + kDefaultPositionStep, work.top + kDefaultPositionStep};
}

}  // namespace Platform

HMONITOR WINAPI MonitorFromWindow(HWND hwnd, DWORD flags)
{
    using namespace Platform;
    if (flags > MONITOR_DEFAULTTONEAREST) {
        SetLastErrorWithNote(ERROR_INVALID_FLAGS,
                             L"MonitorFromWindow takes MONITOR_DEFAULTTONULL, "
                             L"MONITOR_DEFAULTTOPRIMARY or MONITOR_DEFAULTTONEAREST.");
        return nullptr;
    }
    WindowObject* window = FindWindowObject(hwnd);
    if (!window) {
        return nullptr;
    }
    RECT rect{};
    if (!window->OuterRect(rect)) {
        SetLastErrorWithNote(ERROR_INVALID_WINDOW_HANDLE, L"The window's place on the screen could not be read.");
        return nullptr;
    }
    std::vector<MonitorArea> monitors = X11Monitors();
    if (monitors.empty()) {
        NoMonitorError();
        return nullptr;
    }
    // The monitor that shows most of the window; for a window on none, the nearest or the
    // primary one as the flags ask.
    size_t best = 0;
    long long bestArea = 0;
    for (size_t i = 0; i < monitors.size(); ++i) {
        long long area = Area(Intersection(rect, monitors[i].monitor));
        if (area > bestArea) {
            best = i;
            bestArea = area;
        }
    }
    if (bestArea > 0 || flags == MONITOR_DEFAULTTOPRIMARY) {
        return MonitorHandle(best);
    }
    if (flags == MONITOR_DEFAULTTONULL) {
        return nullptr;
    }
    long long nearest = DistanceSquared(rect, monitors[0].monitor);
    for (size_t i = 1; i < monitors.size(); ++i) {
        long long distance = DistanceSquared(rect, monitors[i].monitor);
        if (distance < nearest) {
            best = i;
            nearest = distance;
        }
    }
    return MonitorHandle(best);
}

BOOL WINAPI GetMonitorInfoW(HMONITOR monitor, LPMONITORINFO info)
{
    using namespace Platform;
    if (!info || info->cbSize != sizeof(MONITORINFO)) {
        SetLastErrorWithNote(ERROR_INVALID_PARAMETER,
                             L"GetMonitorInfoW needs a MONITORINFO whose cbSize is its size.");
        return FALSE;
    }
    std::vector<MonitorArea> monitors = X11Monitors();
    uintptr_t number = reinterpret_cast<uintptr_t>(monitor);
    if (monitors.empty()) {
        NoMonitorError();
        return FALSE;
    }
    if (number == 0 || number > monitors.size()) {
        SetLastErrorWithNote(ERROR_INVALID_MONITOR_HANDLE,
                             L"The handle names no monitor of the display (" +
                                 std::to_wstring(monitors.size()) + L" monitors).");
        return FALSE;
    }
    const MonitorArea& area = monitors[number - 1];
    info->rcMonitor = area.monitor;
    info->rcWork = area.work;
    info->dwFlags = area.primary ? MONITORINFOF_PRIMARY : 0;
    return TRUE;
}
