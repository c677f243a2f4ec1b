// The last error's text and a window's text, through the layer's own calls.
#include "LayerText.h"

namespace TestSupport {

std::string LastErrorText()
{
    DWORD code = GetLastError();
    wchar_t* text = nullptr;
    DWORD length = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_ALLOCATE_BUFFER |
                                      FORMAT_MESSAGE_IGNORE_INSERTS,
                                  nullptr, code, 0, reinterpret_cast<LPWSTR>(&text), 0, nullptr);
    std::string narrow = "error " + std::to_string(code) + ": ";
    for (DWORD i = 0; i < length; ++i) {
        narrow += text[i] < 0x80 ? static_cast<char>(text[i]) : '?';
    }
    LocalFree(text);
    return narrow;
}

std::wstring WindowText(HWND hwnd)
{
    int length = GetWindowTextLengthW(hwnd);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    int copied = GetWindowTextW(hwnd, &text[0], length + 1);
    text.resize(static_cast<size_t>(copied));
    return text;
}

}  // namespace TestSupport
