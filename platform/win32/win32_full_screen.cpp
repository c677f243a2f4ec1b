// Full screen on Windows, the usual way: the window loses its frame (WS_POPUP) and covers the
// whole rectangle of the monitor it is on; its style, extended style and placement are kept and
// put back when it leaves. Windows it owns (the Settings window) stay above it.
#include <map>

#include "platform/FullScreen.h"
#include "platform/win32/Win32Internal.h"

namespace Platform {
namespace {

struct KeptWindow {
    LONG_PTR style = 0;
    LONG_PTR extendedStyle = 0;
    WINDOWPLACEMENT placement = {};
};

// The windows that are full screen now, with what puts them back.
std::map<HWND, KeptWindow>& FullScreenWindows()
{
    static std::map<HWND, KeptWindow> windows;
    return windows;
}

std::wstring Failure(const wchar_t* what)
{
    return std::wstring(what) + L": " + SystemText(GetLastError());
}

}  // namespace

bool SetFullScreen(HWND window, bool fullScreen, std::wstring& reason)
{
    std::map<HWND, KeptWindow>& windows = FullScreenWindows();
    const auto found = windows.find(window);
    if (fullScreen == (found != windows.end())) {
        return true;
    }
    if (!fullScreen) {
        const KeptWindow kept = found->second;
        windows.erase(found);
        SetWindowLongPtrW(window, GWL_STYLE, kept.style);
        SetWindowLongPtrW(window, GWL_EXSTYLE, kept.extendedStyle);
        if (!SetWindowPlacement(window, &kept.placement) ||
            !SetWindowPos(window, nullptr, 0, 0, 0, 0,
                          SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOOWNERZORDER | SWP_FRAMECHANGED)) {
            reason = Failure(L"The window could not be given back its place");
            return false;
        }
        return true;
    }
    KeptWindow kept;
    kept.placement.length = sizeof(WINDOWPLACEMENT);
    kept.style = GetWindowLongPtrW(window, GWL_STYLE);
    kept.extendedStyle = GetWindowLongPtrW(window, GWL_EXSTYLE);
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof(monitor);
    if (kept.style == 0 || !GetWindowPlacement(window, &kept.placement) ||
        !GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &monitor)) {
        reason = Failure(L"The window's monitor could not be found");
        return false;
    }
    SetWindowLongPtrW(window, GWL_STYLE, (kept.style & ~static_cast<LONG_PTR>(WS_CAPTION | WS_THICKFRAME)) | WS_POPUP);
    SetWindowLongPtrW(window, GWL_EXSTYLE,
                      kept.extendedStyle & ~static_cast<LONG_PTR>(WS_EX_CLIENTEDGE | WS_EX_WINDOWEDGE |
                                                                   WS_EX_DLGMODALFRAME | WS_EX_STATICEDGE));
    const RECT& area = monitor.rcMonitor;
    if (!SetWindowPos(window, HWND_TOP, area.left, area.top, area.right - area.left, area.bottom - area.top,
                      SWP_FRAMECHANGED | SWP_SHOWWINDOW)) {
        reason = Failure(L"The window could not be made to fill its monitor");
        SetWindowLongPtrW(window, GWL_STYLE, kept.style);
        SetWindowLongPtrW(window, GWL_EXSTYLE, kept.extendedStyle);
        return false;
    }
    windows[window] = kept;
    return true;
}

}  // namespace Platform
