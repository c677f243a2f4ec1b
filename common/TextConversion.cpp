// Wide <-> UTF-8 conversion through the system's code-page calls.
#include "TextConversion.h"

#include <limits>

#include "Exception.h"

namespace Common {
namespace {

// Lengths beyond what the system calls take are refused like any other conversion failure.
int CheckedLength(size_t length)
{
    if (length > static_cast<size_t>(std::numeric_limits<int>::max())) {
        SetLastError(ERROR_INVALID_PARAMETER);
        throw Exception(L"");
    }
    return static_cast<int>(length);
}

}  // namespace

std::string WideToUtf8(const std::wstring& text)
{
    int length = CheckedLength(text.size());
    int needed = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), length, nullptr, 0, nullptr, nullptr);
    if (needed == 0) {
        throw Exception(L"");
    }
    std::string result(static_cast<size_t>(needed), '\0');
    if (WideCharToMultiByte(CP_UTF8, 0, text.c_str(), length, &result[0], needed, nullptr, nullptr) == 0) {
        throw Exception(L"");
    }
    return result;
}

std::wstring Utf8ToWide(const std::string& text)
{
    int length = CheckedLength(text.size());
    int needed = MultiByteToWideChar(CP_UTF8, 0, text.c_str(), length, nullptr, 0);
    if (needed == 0) {
        throw Exception(L"");
    }
    std::wstring result(static_cast<size_t>(needed), L'\0');
    if (MultiByteToWideChar(CP_UTF8, 0, text.c_str(), length, &result[0], needed) == 0) {
        throw Exception(L"");
    }
    return result;
}

}  // namespace Common
