// Notices that the log box shows above a compile result: what the user must know about the text
// just loaded, which the compile result written in the same frame must not wipe out.
#pragma once

#include <string>

namespace Morvane {

// One line saying that the file at `path` is not valid UTF-8 and how many invalid byte
// sequences of `text` (its contents) the editor shows as replacement characters, which Save
// would then write; empty when `text` is valid UTF-8.
std::wstring InvalidUtf8Notice(const std::wstring& path, const std::string& text);

// `text` below `notice`; `text` alone when there is no notice.
std::wstring BelowNotice(const std::wstring& notice, const std::wstring& text);

}  // namespace Morvane
