// Builds exceptions and captures the system error that travels with them.
#include "Exception.h"

namespace Common {

ErrorDetail CaptureSystemError()
{
    ErrorDetail detail;
    detail.code = GetLastError();
    LPWSTR buffer = nullptr;
    DWORD length = FormatMessageW(
        FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_ALLOCATE_BUFFER,
        nullptr, detail.code, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT),
        reinterpret_cast<LPWSTR>(&buffer), 0, nullptr);
    if (length != 0) {
        detail.text.assign(buffer, length);
        LocalFree(buffer);
    }
    return detail;
}

Exception::Exception(const std::wstring& message)
    : m_message(message)
    , m_detail(CaptureSystemError())
{
}

Exception::Exception(const std::wstring& message, const ErrorDetail& detail)
    : m_message(message)
    , m_detail(detail)
{
}

}  // namespace Common
