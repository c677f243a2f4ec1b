// What the window side needs to know of the GLX contexts.
#pragma once

#include <X11/Xlib.h>

namespace Platform {

// Called before an X window is destroyed: a context current on it is released, so that GL never
// draws to a window that is gone.
void ReleaseContextOnWindow(::Window window);

}  // namespace Platform
