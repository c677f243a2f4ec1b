// The X event message source that PeekMessageW polls.
#pragma once

#include "../winapi/WindowApi.h"

namespace Platform {

// Takes pending X events until one becomes a window message; never blocks. Returns false when
// no pending event makes a message.
bool TakeX11Message(MSG& msg);

}  // namespace Platform
