// Case-insensitive names as Windows treats them: window classes, control classes, font faces and
// resource names match whatever their case, and the same way whatever the user's locale (the
// C library's towlower would turn 'I' into a dotless 'ı' under a Turkish locale).
#pragma once

#include <string>

namespace Platform {

// One character in lower or upper case by Unicode's locale-independent simple case mapping.
wchar_t LowerNameChar(wchar_t c);
wchar_t UpperNameChar(wchar_t c);

// The whole name in lower case, as the key of a table that ignores case.
std::wstring LowerName(const std::wstring& name);

// Whether two names are the same without regard to case.
bool SameName(const std::wstring& name, const std::wstring& other);

}  // namespace Platform
