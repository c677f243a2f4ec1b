// Texts the Windows layer hands out, read the way the tests compare them: the last error's
// message and a window's text.
#pragma once

#include <string>

#include "platform/Windows.h"

namespace TestSupport {

// FormatMessageW of the current last error (code, text and note), non-ASCII shown as '?'.
std::string LastErrorText();

// A window's or control's text through GetWindowTextLengthW and GetWindowTextW.
std::wstring WindowText(HWND hwnd);

}  // namespace TestSupport
