// The layer's own conversions between wide text (UTF-32 here) and UTF-8, for the texts it hands
// to X and GTK and takes back from them. They share the code-page functions' codec.
#pragma once

#include <string>

namespace Platform {

// UTF-8 form of a wide text; invalid characters become U+FFFD. Empty text gives empty text (the
// code-page functions refuse it), and zero characters are kept.
std::string WideToUtf8Text(const std::wstring& text);

// Wide form of a UTF-8 text; each maximal invalid sequence becomes one U+FFFD.
std::wstring Utf8ToWideText(const std::string& text);

}  // namespace Platform
