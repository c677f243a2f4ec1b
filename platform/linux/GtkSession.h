// The process's GTK session: GTK started once on the X11 backend, its events pumped by a
// message source of PeekMessageW, and the helpers that wait for the window manager and the X
// server without ever blocking for long.
#pragma once

#include <functional>
#include <string>

typedef struct _XDisplay Display;

namespace Platform {

// Starts GTK on the X11 backend (once) and registers its message source. Returns false with a
// last error that names the display when no display can be opened.
bool StartGtk();

// Lets GTK handle at most `maxIterations` of its pending events without waiting.
void PumpGtk(int maxIterations);

// Pumps GTK and polls `done` until it returns true or `milliseconds` have passed; returns the
// last result of `done`.
bool PumpUntil(const std::function<bool()>& done, int milliseconds);

// GDK's own X connection (GTK's windows live on it, not on the layer's other X connection).
Display* GtkXDisplay();

// Edit boxes keep CR LF line ends outside and LF inside GTK: CR LF becomes LF on the way in,
// and an LF that is not already preceded by CR becomes CR LF on the way out. A lone CR stays.
std::wstring CrLfToLf(const std::wstring& text);
std::wstring LfToCrLf(const std::wstring& text);

}  // namespace Platform
