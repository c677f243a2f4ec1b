// The posix family's internal header: the thread's last error with its note, the wide <-> UTF-8
// conversions the layer hands to X and GTK, and the one bounded wait.
#pragma once

#include <functional>
#include <string>

#include "../winapi/BaseTypes.h"

namespace Platform {

// The layer's own view of the thread's last error: setting a Windows code together with a note
// that FormatMessageW adds to the code's standard text, and mapping errno values to codes.

// Sets the last error to `code` and remembers `note` (for example which display could not be
// opened) so that FormatMessageW of that same code tells the cause. SetLastError clears the note.
void SetLastErrorWithNote(DWORD code, const std::wstring& note);

// The note remembered with the current last error, empty when there is none.
const std::wstring& LastErrorNote();

// The Windows error code that best describes an errno value.
DWORD ErrnoToWin32(int error);

// Sets the last error from errno, with a note naming the operation and the path involved.
void SetLastErrorFromErrno(int error, const std::wstring& note);

// The layer's own conversions between wide text (UTF-32 here) and UTF-8, for the texts it hands
// to X and GTK and takes back from them. They share the code-page functions' codec.

// UTF-8 form of a wide text; invalid characters become U+FFFD. Empty text gives empty text (the
// code-page functions refuse it), and zero characters are kept.
std::string WideToUtf8Text(const std::wstring& text);

// Wide form of a UTF-8 text; each maximal invalid sequence becomes one U+FFFD.
std::wstring Utf8ToWideText(const std::string& text);

// The system's form of a path the program names in its own (Windows) form: backslashes become
// slashes, and the text UTF-8.
std::string NativePath(std::wstring path);

// The layer's one bounded wait: polling a condition that the X server, the window manager or GTK
// makes true on its own time, for at most a given time.

// Polls `done` every few milliseconds until it is true or `milliseconds` have passed; returns its
// last answer, which is always asked once more after the time has run out. `beforeEachPoll`, when
// given, runs before every poll (the GTK session pumps its events there).
bool WaitUntil(const std::function<bool()>& done, int milliseconds,
               const std::function<void()>& beforeEachPoll = nullptr);

}  // namespace Platform
