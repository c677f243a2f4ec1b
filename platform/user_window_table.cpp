// The handle table and the user32 calls that work the same for every kind of window: destroy,
// show, placement, texts, user data and the default window procedure.
#include <algorithm>
#include <map>

#include "Windows.h"
#include "linux/PosixInternal.h"
#include "linux/UserInternal.h"

namespace Platform {
namespace {

struct Entry {
    std::unique_ptr<WindowObject> window;
    bool destroying = false;
};

std::map<UINT_PTR, Entry>& Table()
{
    static std::map<UINT_PTR, Entry> table;
    return table;
}

// Handles start high and step by four, like real ones, and are never reused.
UINT_PTR g_nextHandle = 0x10010;

Entry* FindEntry(HWND hwnd)
{
    auto found = Table().find(reinterpret_cast<UINT_PTR>(hwnd));
    if (found == Table().end() || !found->second.window) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    return &found->second;
}

}  // namespace

HWND AddWindow(std::unique_ptr<WindowObject> window)
{
    UINT_PTR handle = g_nextHandle;
    g_nextHandle += 4;
    Table()[handle].window = std::move(window);
    return reinterpret_cast<HWND>(handle);
}

WindowObject* FindWindowObject(HWND hwnd)
{
    Entry* entry = FindEntry(hwnd);
    return entry ? entry->window.get() : nullptr;
}

std::vector<HWND> ChildWindows(HWND parent)
{
    std::vector<HWND> children;
    for (auto& [handle, entry] : Table()) {
        if (entry.window && entry.window->parent == parent && !entry.destroying) {
            children.push_back(reinterpret_cast<HWND>(handle));
        }
    }
    return children;
}

}  // namespace Platform

using Platform::FindWindowObject;
using Platform::WindowObject;

BOOL WINAPI IsWindow(HWND hwnd)
{
    DWORD saved = GetLastError();
    BOOL alive = FindWindowObject(hwnd) != nullptr;
    SetLastError(saved);
    return alive;
}

BOOL WINAPI DestroyWindow(HWND hwnd)
{
    auto& table = Platform::Table();
    auto found = table.find(reinterpret_cast<UINT_PTR>(hwnd));
    if (found == table.end() || !found->second.window) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    if (found->second.destroying) {
        return TRUE;
    }
    found->second.destroying = true;
    WindowObject* window = found->second.window.get();
    window->Deliver(hwnd, WM_DESTROY, 0, 0);
    for (HWND child : Platform::ChildWindows(hwnd)) {
        DestroyWindow(child);
    }
    window->DestroyNative();
    // The procedure may have run arbitrary code: look the entry up again before erasing it.
    table.erase(reinterpret_cast<UINT_PTR>(hwnd));
    return TRUE;
}

BOOL WINAPI ShowWindow(HWND hwnd, int command)
{
    WindowObject* window = FindWindowObject(hwnd);
    return window ? window->Show(command) : FALSE;
}

BOOL WINAPI UpdateWindow(HWND hwnd)
{
    WindowObject* window = FindWindowObject(hwnd);
    return window ? window->Update() : FALSE;
}

LONG_PTR WINAPI SetWindowLongPtrW(HWND hwnd, int index, LONG_PTR value)
{
    WindowObject* window = FindWindowObject(hwnd);
    if (!window) {
        return 0;
    }
    if (index != GWLP_USERDATA) {
        SetLastError(ERROR_INVALID_INDEX);
        return 0;
    }
    // As on Windows, a previous value of 0 is returned without clearing the last error.
    LONG_PTR previous = window->userData;
    window->userData = value;
    return previous;
}

LONG_PTR WINAPI GetWindowLongPtrW(HWND hwnd, int index)
{
    WindowObject* window = FindWindowObject(hwnd);
    if (!window) {
        return 0;
    }
    if (index == GWLP_USERDATA) {
        return window->userData;
    }
    if (index == GWLP_ID) {
        return window->controlId;
    }
    SetLastError(ERROR_INVALID_INDEX);
    return 0;
}

namespace {

// Fills `rect` through one of the window's rectangle queries, with Windows' argument checks.
BOOL QueryRect(HWND hwnd, LPRECT rect, BOOL (WindowObject::*query)(RECT&))
{
    WindowObject* window = FindWindowObject(hwnd);
    if (!window) {
        return FALSE;
    }
    if (!rect) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    return (window->*query)(*rect);
}

}  // namespace

BOOL WINAPI GetWindowRect(HWND hwnd, LPRECT rect)
{
    return QueryRect(hwnd, rect, &WindowObject::OuterRect);
}

BOOL WINAPI GetClientRect(HWND hwnd, LPRECT rect)
{
    return QueryRect(hwnd, rect, &WindowObject::ClientRect);
}

BOOL WINAPI MoveWindow(HWND hwnd, int x, int y, int width, int height, BOOL repaint)
{
    WindowObject* window = FindWindowObject(hwnd);
    return window ? window->Move(x, y, width, height, repaint) : FALSE;
}

BOOL WINAPI SetWindowTextW(HWND hwnd, LPCWSTR text)
{
    WindowObject* window = FindWindowObject(hwnd);
    if (!window) {
        return FALSE;
    }
    return window->SetText(text ? std::wstring(text) : std::wstring());
}

int WINAPI GetWindowTextLengthW(HWND hwnd)
{
    WindowObject* window = FindWindowObject(hwnd);
    if (!window) {
        return 0;
    }
    SetLastError(0);
    return static_cast<int>(window->Text().size());
}

int WINAPI GetWindowTextW(HWND hwnd, LPWSTR text, int maxCount)
{
    WindowObject* window = FindWindowObject(hwnd);
    if (!window) {
        return 0;
    }
    if (!text || maxCount <= 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    std::wstring whole = window->Text();
    size_t count = std::min(whole.size(), static_cast<size_t>(maxCount - 1));
    std::copy(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(count), text);
    text[count] = L'\0';
    if (count == 0) {
        SetLastError(0);
    }
    return static_cast<int>(count);
}

LRESULT WINAPI DefWindowProcW(HWND hwnd, UINT message, WPARAM, LPARAM)
{
    if (message == WM_CLOSE) {
        DestroyWindow(hwnd);
    }
    return 0;
}
