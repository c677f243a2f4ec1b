// A top-level window made to fill the monitor it is on, and given back its frame, size and place:
// through the window manager's full-screen state on X (_NET_WM_STATE_FULLSCREEN), which the
// manager undoes as it did it; on Windows as the usual borderless monitor-sized window (WS_POPUP
// over the rectangle of MonitorFromWindow's monitor), its style and placement kept to be put back.
#pragma once

#include <string>

#include "platform/Windows.h"

namespace Platform {

// Asks for the window to fill its monitor (`fullScreen`) or to be the window it was. Asking for
// the state the window is in changes nothing. On X the window manager carries it out a moment
// later. False, with `reason` in one sentence, when it cannot be done.
bool SetFullScreen(HWND window, bool fullScreen, std::wstring& reason);

}  // namespace Platform
