// What the Windows-only helpers share: a COM interface released when it goes, and the system's
// text for an error code or HRESULT.
#pragma once

#include <cwchar>
#include <string>

#include "platform/Windows.h"

namespace Platform {

// Releases a COM interface when it goes.
template <class Interface>
class Com {
public:
    Com() = default;
    Com(const Com&) = delete;
    Com& operator=(const Com&) = delete;
    ~Com()
    {
        if (m_pointer) {
            m_pointer->Release();
        }
    }
    Interface** Out() { return &m_pointer; }
    Interface* operator->() const { return m_pointer; }
    Interface* Get() const { return m_pointer; }

private:
    Interface* m_pointer = nullptr;
};

// The system's text for an error code or HRESULT, without its line end.
inline std::wstring SystemText(DWORD code)
{
    wchar_t* text = nullptr;
    const DWORD length = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_ALLOCATE_BUFFER |
                                            FORMAT_MESSAGE_IGNORE_INSERTS,
                                        nullptr, code, 0, reinterpret_cast<LPWSTR>(&text), 0, nullptr);
    std::wstring result;
    if (length > 0 && text) {
        result.assign(text, length);
    } else {
        wchar_t number[16];
        swprintf(number, 16, L"0x%08lX", static_cast<unsigned long>(code));
        result = L"Error " + std::wstring(number) + L".";
    }
    if (text) {
        LocalFree(text);
    }
    while (!result.empty() && (result.back() == L'\n' || result.back() == L'\r')) {
        result.pop_back();
    }
    return result;
}

}  // namespace Platform
