// Conversion between the system's wide text and narrow UTF-8 text.
#pragma once

#include <string>

namespace Common {

// Both refuse an empty text by throwing Exception with an empty message, as the system's
// conversion calls do; invalid input becomes U+FFFD. Every character converts, a zero character
// too: the result is never shorter than the text.
std::string WideToUtf8(const std::wstring& text);
std::wstring Utf8ToWide(const std::string& text);

}  // namespace Common
