// Starting this program again from its beginning, and ending it at once: what the watch over a
// frame that never ends needs, called from its own thread while the main thread may be stuck in
// the OpenGL driver. Neither cleans anything up through the windows or OpenGL.
#pragma once

#include <string>

namespace Platform {

// Runs this program again from its start, with the arguments and the working folder it has now
// and the environment variable `name` set to `value`. On Linux the new copy replaces this one in
// the same process (exec: the process id, the parent and the standard handles stay, so whoever
// started the program still waits for its end); on Windows a new process starts and this one is
// ended. Returns only when that failed, with the last error set.
void RestartThisProgram(const std::wstring& name, const std::wstring& value);

// Ends this process at once with `status`: no destructors, no exit handlers, nothing that could
// wait on a stuck driver.
[[noreturn]] void EndThisProgramNow(int status);

}  // namespace Platform
