// The text a program started from a terminal prints: its usage, its errors and the progress of a
// render. On Linux standard output and standard error; on Windows the console the program was
// started from, or a message box where there is none.
#pragma once

#include <string>

namespace Platform {

// Prints `text` (its line ends included) on standard output.
void PrintOutput(const std::wstring& text);
// Prints `text` (its line ends included) on standard error.
void PrintError(const std::wstring& text);
// Whether standard error is a terminal, where a line may be rewritten in place (a carriage
// return, then the new text).
bool ErrorIsTerminal();

}  // namespace Platform
