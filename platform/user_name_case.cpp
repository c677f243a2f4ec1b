// Locale-independent case folding for the names Windows compares without regard to case.
#include <glib.h>

#include "linux/UserInternal.h"

namespace Platform {

wchar_t LowerNameChar(wchar_t c)
{
    if (c < 0x80) {
        return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c;
    }
    return static_cast<wchar_t>(g_unichar_tolower(static_cast<gunichar>(c)));
}

wchar_t UpperNameChar(wchar_t c)
{
    if (c < 0x80) {
        return c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - L'a' + L'A') : c;
    }
    return static_cast<wchar_t>(g_unichar_toupper(static_cast<gunichar>(c)));
}

std::wstring LowerName(const std::wstring& name)
{
    std::wstring lower = name;
    for (wchar_t& c : lower) {
        c = LowerNameChar(c);
    }
    return lower;
}

bool SameName(const std::wstring& name, const std::wstring& other)
{
    if (name.size() != other.size()) {
        return false;
    }
    for (size_t i = 0; i < name.size(); ++i) {
        if (LowerNameChar(name[i]) != LowerNameChar(other[i])) {
            return false;
        }
    }
    return true;
}

}  // namespace Platform
