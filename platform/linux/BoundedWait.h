// The layer's one bounded wait: polling a condition that the X server, the window manager or GTK
// makes true on its own time, for at most a given time.
#pragma once

#include <functional>

namespace Platform {

// Polls `done` every few milliseconds until it is true or `milliseconds` have passed; returns its
// last answer, which is always asked once more after the time has run out. `beforeEachPoll`, when
// given, runs before every poll (the GTK session pumps its events there).
bool WaitUntil(const std::function<bool()>& done, int milliseconds,
               const std::function<void()>& beforeEachPoll = nullptr);

}  // namespace Platform
