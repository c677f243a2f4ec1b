// Asks a top-level X window, found by its title, to close, as a window manager's close button
// does. Free of Xlib's headers, whose macros (None, Bool) clash with the system's names.
#pragma once

#include <string>

namespace TestSupport {

// Sends WM_DELETE_WINDOW, on a connection of its own, to the window with this title; false when
// no window has it.
bool SendCloseRequest(const std::string& title);

}  // namespace TestSupport
