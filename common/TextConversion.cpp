// Wide <-> UTF-8 conversion through the system's code-page calls.
#include "TextConversion.h"

#include <limits>
#include <memory>

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
    std::unique_ptr<char[]> buffer(new char[static_cast<size_t>(needed) + 1]);
    if (WideCharToMultiByte(CP_UTF8, 0, text.c_str(), length, buffer.get(), needed, nullptr, nullptr) == 0) {
        throw Exception(L"");
    }
    buffer[static_cast<size_t>(needed)] = '\0';
    return std::string(buffer.get());
}

std::wstring Utf8ToWide(const std::string& text)
{
    int length = CheckedLength(text.size());
    int needed = MultiByteToWideChar(CP_UTF8, 0, text.c_str(), length, nullptr, 0);
    if (needed == 0) {
        throw Exception(L"");
    }
    std::unique_ptr<wchar_t[]> buffer(new wchar_t[static_cast<size_t>(needed) + 1]);
    if (MultiByteToWideChar(CP_UTF8, 0, text.c_str(), length, buffer.get(), needed) == 0) {
        throw Exception(L"");
    }
    buffer[static_cast<size_t>(needed)] = L'\0';
    return std::wstring(buffer.get());
}

}  // namespace Common
