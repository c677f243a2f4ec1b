// Driving a dialog from a test the way a user would: the program's own message loop keeps
// running (PeekMessageW and DispatchMessageW) while xdotool and xclip act on the display. What
// the dialog procedure receives is recorded by tests/support/MessageRecorder.h.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/Windows.h"

namespace DialogDriver {

// Takes and dispatches every message that is pending now.
void PumpMessages();

// Pumps messages until `done` holds; false when it still does not hold after a generous bound.
bool PumpUntil(const std::function<bool()>& done);

// Runs a program to its end while the message loop keeps running; returns its exit status and,
// when asked, what it wrote to standard output.
int Run(const std::vector<std::string>& argv, std::string* output = nullptr);

// Starts a program that keeps running (returns its process id) and ends it.
int Start(const std::vector<std::string>& argv);
void Stop(int pid);

// The X window of the visible top-level window with this exact title (0 when there is none).
unsigned long FindXWindow(const std::string& title);

// Activates that window through the window manager and clicks the middle of `rect` (screen
// coordinates).
void ActivateAndClick(unsigned long xwindow, const RECT& rect);

// Sends key strokes or typed text to the focused window.
void Keys(const std::vector<std::string>& keys);
void Type(const std::string& text);

}  // namespace DialogDriver
