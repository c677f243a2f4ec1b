// The layer's own view of the thread's last error: setting a Windows code together with a note
// that FormatMessageW adds to the code's standard text, and mapping errno values to codes.
#pragma once

#include <string>

#include "../winapi/BaseTypes.h"

namespace Platform {

// Sets the last error to `code` and remembers `note` (for example which display could not be
// opened) so that FormatMessageW of that same code tells the cause. SetLastError clears the note.
void SetLastErrorWithNote(DWORD code, const std::wstring& note);

// The note remembered with the current last error, empty when there is none.
const std::wstring& LastErrorNote();

// The Windows error code that best describes an errno value.
DWORD ErrnoToWin32(int error);

// Sets the last error from errno, with a note naming the operation and the path involved.
void SetLastErrorFromErrno(int error, const std::wstring& note);

}  // namespace Platform
