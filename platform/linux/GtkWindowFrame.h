// What the X server and the window manager know about a dialog's top-level X window: the frame
// the window manager puts around it (_NET_FRAME_EXTENTS), whether it has been managed yet, and
// where its client area stands on the screen.
#pragma once

#include "../winapi/BaseTypes.h"

namespace Platform {

struct FrameExtents {
    int left = 0;
    int right = 0;
    int top = 0;
    int bottom = 0;
};

// True when an EWMH window manager runs on GDK's screen.
bool WindowManagerPresent();

// Reads _NET_FRAME_EXTENTS of `xid`; false when the property is not there.
bool ReadFrameExtents(unsigned long xid, FrameExtents& extents);

// For a window that is not mapped yet: asks the window manager for the frame it will give the
// window (_NET_REQUEST_FRAME_EXTENTS) and waits for the answer, bounded. No frame without a
// window manager.
FrameExtents RequestFrameExtents(unsigned long xid);

// True once the window is viewable and, with a reparenting window manager, inside its frame.
bool IsManaged(unsigned long xid);

// The client area of `xid` in screen coordinates, as the X server has it now.
bool ClientAreaOnScreen(unsigned long xid, RECT& area);

}  // namespace Platform
