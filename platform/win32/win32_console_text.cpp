// Console text on Windows. A program built for the window subsystem has no console of its own: its
// text goes to the handles it was started with where they lead to a file or a pipe, else to the
// console of the program that started it (cmd's "start /wait"), else into a message box.
#include <string>

#include "platform/ConsoleText.h"
#include "platform/Windows.h"

namespace {

// The console of the parent process, attached once, or null where there is none.
HANDLE ParentConsole()
{
    static bool tried = false;
    static HANDLE console = nullptr;
    if (!tried) {
        tried = true;
        if (AttachConsole(ATTACH_PARENT_PROCESS)) {
            console = CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  nullptr, OPEN_EXISTING, 0, nullptr);
            if (console == INVALID_HANDLE_VALUE) {
                console = nullptr;
            }
        }
    }
    return console;
}

// Where text for standard output or standard error goes; null for a message box.
HANDLE Destination(DWORD standardHandle)
{
    HANDLE handle = GetStdHandle(standardHandle);
    if (handle && handle != INVALID_HANDLE_VALUE && GetFileType(handle) != FILE_TYPE_UNKNOWN) {
        return handle;
    }
    return ParentConsole();
}

void Print(DWORD standardHandle, const std::wstring& text, UINT icon)
{
    HANDLE handle = Destination(standardHandle);
    if (!handle) {
        MessageBoxW(nullptr, text.c_str(), L"Morvane", MB_OK | icon);
        return;
    }
    DWORD mode = 0;
    DWORD written = 0;
    if (GetConsoleMode(handle, &mode)) {
        WriteConsoleW(handle, text.c_str(), static_cast<DWORD>(text.size()), &written, nullptr);
        return;
    }
    const int length = static_cast<int>(text.size());
    const int size = length ? WideCharToMultiByte(CP_UTF8, 0, text.c_str(), length, nullptr, 0, nullptr, nullptr) : 0;
    if (size > 0) {
        std::string bytes(static_cast<size_t>(size), '\0');
        WideCharToMultiByte(CP_UTF8, 0, text.c_str(), length, &bytes[0], size, nullptr, nullptr);
        WriteFile(handle, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    }
}

}  // namespace

namespace Platform {

void PrintOutput(const std::wstring& text)
{
    Print(STD_OUTPUT_HANDLE, text, MB_ICONINFORMATION);
}

void PrintError(const std::wstring& text)
{
    Print(STD_ERROR_HANDLE, text, MB_ICONERROR);
}

bool ErrorIsTerminal()
{
    HANDLE handle = Destination(STD_ERROR_HANDLE);
    DWORD mode = 0;
    return handle && GetConsoleMode(handle, &mode);
}

}  // namespace Platform
