// Asks a top-level X window, found by its title, to close, as a window manager's close button
// does (a WM_DELETE_WINDOW client message).
#pragma once

#include <string>

namespace FrameworkTesting {

// False when no window has that title.
bool SendCloseRequest(const std::string& title);

}  // namespace FrameworkTesting
