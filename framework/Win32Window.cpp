// Registers a window class, creates its one window (hidden) and keeps the device context.
#include "framework/Win32Window.h"

#include "common/Exception.h"

namespace RealTimeApp {

Win32Window::Win32Window(const std::wstring& caption, unsigned width, unsigned height,
                         WNDPROC proc)
    : hwnd(NULL)
    , hdc(NULL)
    , className(caption + L"Class")
{
    HINSTANCE instance = GetModuleHandleW(NULL);

    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof(WNDCLASSEXW);
    windowClass.style = 0;
    windowClass.lpfnWndProc = proc;
    windowClass.cbClsExtra = 0;
    windowClass.cbWndExtra = 0;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconW(NULL, IDI_APPLICATION);
    windowClass.hCursor = LoadCursorW(NULL, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_WINDOW + 1));
    windowClass.lpszMenuName = NULL;
    windowClass.lpszClassName = className.c_str();
    windowClass.hIconSm = LoadIconW(NULL, IDI_APPLICATION);
    if (RegisterClassExW(&windowClass) == 0) {
        throw Common::Exception(std::wstring());
    }

    hwnd = CreateWindowExW(WS_EX_CLIENTEDGE, className.c_str(), caption.c_str(),
                           WS_CAPTION | WS_SYSMENU | WS_THICKFRAME, CW_USEDEFAULT, CW_USEDEFAULT,
                           static_cast<int>(width), static_cast<int>(height), NULL, NULL, instance,
                           NULL);
    if (hwnd == NULL) {
        throw Common::Exception(std::wstring());
    }
    hdc = GetDC(hwnd);
}

Win32Window::~Win32Window()
{
    DestroyWindow(hwnd);
    UnregisterClassW(className.c_str(), GetModuleHandleW(NULL));
}

}  // namespace RealTimeApp
