// Window classes (RegisterClassExW, UnregisterClassW) and the stock icon and cursor handles.
#include <map>

#include "Windows.h"
#include "linux/PosixInternal.h"
#include "linux/UserInternal.h"
#include "linux/X11Internal.h"

namespace Platform {
namespace {

std::map<std::wstring, std::shared_ptr<WindowClass>>& Classes()
{
    static std::map<std::wstring, std::shared_ptr<WindowClass>> classes;
    return classes;
}

// Class atoms live in the range Windows uses for registered strings.
ATOM g_nextAtom = 0xC000;

std::wstring Describe(LPCWSTR name)
{
    if (IS_INTRESOURCE(name)) {
        return L"#" + std::to_wstring(reinterpret_cast<ULONG_PTR>(name));
    }
    return L"\"" + std::wstring(name) + L"\"";
}

// The map entry named by `name`, or Classes().end().
std::map<std::wstring, std::shared_ptr<WindowClass>>::iterator Lookup(LPCWSTR name)
{
    auto& classes = Classes();
    if (!IS_INTRESOURCE(name)) {
        return classes.find(LowerName(name));
    }
    ATOM atom = static_cast<ATOM>(reinterpret_cast<ULONG_PTR>(name));
    for (auto it = classes.begin(); it != classes.end(); ++it) {
        if (it->second->atom == atom) {
            return it;
        }
    }
    return classes.end();
}

HICON__ g_applicationIcon{};
HICON__ g_arrowCursor{};

}  // namespace

std::shared_ptr<WindowClass> FindWindowClass(LPCWSTR name)
{
    auto found = name ? Lookup(name) : Classes().end();
    if (found == Classes().end()) {
        SetLastErrorWithNote(ERROR_CANNOT_FIND_WND_CLASS,
                             L"No window class " + (name ? Describe(name) : L"(null)") +
                                 L" is registered.");
        return nullptr;
    }
    return found->second;
}

HCURSOR ArrowCursorHandle()
{
    return &g_arrowCursor;
}

}  // namespace Platform

ATOM WINAPI RegisterClassExW(const WNDCLASSEXW* windowClass)
{
    using Platform::SetLastErrorWithNote;
    if (!windowClass || windowClass->cbSize != sizeof(WNDCLASSEXW)) {
        SetLastErrorWithNote(ERROR_INVALID_PARAMETER,
                             L"RegisterClassExW needs a WNDCLASSEXW whose cbSize is its size.");
        return 0;
    }
    if (!windowClass->lpszClassName || IS_INTRESOURCE(windowClass->lpszClassName) ||
        !*windowClass->lpszClassName) {
        SetLastErrorWithNote(ERROR_INVALID_PARAMETER, L"RegisterClassExW needs a class name.");
        return 0;
    }
    if (!windowClass->lpfnWndProc) {
        SetLastErrorWithNote(ERROR_INVALID_PARAMETER,
                             L"The window class \"" + std::wstring(windowClass->lpszClassName) +
                                 L"\" has no window procedure.");
        return 0;
    }
    if (Platform::Lookup(windowClass->lpszClassName) != Platform::Classes().end()) {
        SetLastErrorWithNote(ERROR_CLASS_ALREADY_EXISTS,
                             L"The window class \"" + std::wstring(windowClass->lpszClassName) +
                                 L"\" is registered already.");
        return 0;
    }
    auto registered = std::make_shared<Platform::WindowClass>();
    registered->name = windowClass->lpszClassName;
    registered->atom = Platform::g_nextAtom++;
    registered->style = windowClass->style;
    registered->procedure = windowClass->lpfnWndProc;
    registered->cursor = windowClass->hCursor;
    Platform::Classes()[Platform::LowerName(registered->name)] = registered;
    return registered->atom;
}

BOOL WINAPI UnregisterClassW(LPCWSTR className, HINSTANCE)
{
    using Platform::SetLastErrorWithNote;
    auto found = className ? Platform::Lookup(className) : Platform::Classes().end();
    if (found == Platform::Classes().end()) {
        SetLastErrorWithNote(ERROR_CLASS_DOES_NOT_EXIST,
                             L"No window class " +
                                 (className ? Platform::Describe(className) : L"(null)") +
                                 L" is registered.");
        return FALSE;
    }
    if (found->second->windowCount > 0) {
        SetLastErrorWithNote(ERROR_CLASS_HAS_WINDOWS,
                             L"The window class \"" + found->second->name + L"\" still has " +
                                 std::to_wstring(found->second->windowCount) + L" window(s).");
        return FALSE;
    }
    Platform::Classes().erase(found);
    return TRUE;
}

HICON WINAPI LoadIconW(HINSTANCE instance, LPCWSTR name)
{
    if (instance == nullptr && name == IDI_APPLICATION) {
        return &Platform::g_applicationIcon;
    }
    Platform::SetLastErrorWithNote(ERROR_RESOURCE_NAME_NOT_FOUND,
                                   L"Only the stock application icon is available.");
    return nullptr;
}

HCURSOR WINAPI LoadCursorW(HINSTANCE instance, LPCWSTR name)
{
    if (instance == nullptr && name == IDC_ARROW) {
        return &Platform::g_arrowCursor;
    }
    Platform::SetLastErrorWithNote(ERROR_RESOURCE_NAME_NOT_FOUND,
                                   L"Only the stock arrow cursor is available.");
    return nullptr;
}
