// The monitors of the X screen and their work areas, behind MonitorFromWindow and
// GetMonitorInfoW, and the place where a window created at CW_USEDEFAULT goes.
#pragma once

#include <vector>

#include "../winapi/BaseTypes.h"

namespace Platform {

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

}  // namespace Platform
