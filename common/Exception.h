// The one exception type of the system: a message from the raiser and, kept apart from it, a
// snapshot of the thread's last system error taken when the exception is built.
#pragma once

#include <string>

#include "platform/Windows.h"

namespace Common {

struct ErrorDetail {
    DWORD code = 0;
    std::wstring text;
};

// Reads the thread's last error, then asks the system for its text.
ErrorDetail CaptureSystemError();

class Exception {
public:
    explicit Exception(const std::wstring& message);
    // For a failure the system did not report: the cause is the raiser's own, not a last error
    // left over from an earlier call.
    Exception(const std::wstring& message, const ErrorDetail& detail);

    const std::wstring& Message() const { return m_message; }
    const ErrorDetail& Detail() const { return m_detail; }

private:
    std::wstring m_message;

protected:
    ErrorDetail m_detail;
};

}  // namespace Common
