// Window classes and windows on a bare X server (no window manager): registration rules,
// creation hidden, the caption and size as other X clients see them, placement, the monitor and
// its work area, destruction.
#include <gtest/gtest.h>

#include "tests/support/LayerText.h"
#include "tests/support/MessageRecorder.h"
#include "tests/support/XServer.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>

#include <cstdlib>
#include <vector>

using namespace TestSupport;

namespace {

const wchar_t* kModule = nullptr;

HWND CreateTopLevel(const wchar_t* className, const wchar_t* caption, int x, int y, int width,
                    int height)
{
    return CreateWindowExW(WS_EX_CLIENTEDGE, className, caption, WS_CAPTION | WS_SYSMENU | WS_THICKFRAME,
                           x, y, width, height, nullptr, nullptr, GetModuleHandleW(kModule), nullptr);
}

bool WasReceived(HWND hwnd, UINT message)
{
    for (const auto& received : ReceivedMessages()) {
        if (received.hwnd == hwnd && received.message == message) {
            return true;
        }
    }
    return false;
}

LRESULT CALLBACK RefusingProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    return message == WM_CREATE ? -1 : DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace

TEST(WindowClass, RegistersOnceAndUnregistersOnlyWithoutWindows)
{
    RecordingClass recording(L"Morvane Class Rules");
    WNDCLASSEXW again{};
    again.cbSize = sizeof again;
    again.lpfnWndProc = DefWindowProcW;
    again.lpszClassName = L"MORVANE class rules";  // class names ignore case
    EXPECT_EQ(RegisterClassExW(&again), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CLASS_ALREADY_EXISTS));
    EXPECT_NE(LastErrorText().find("Class already exists."), std::string::npos);
    EXPECT_NE(LastErrorText().find("MORVANE class rules"), std::string::npos) << LastErrorText();

    HWND hwnd = CreateTopLevel(recording.Name(), L"Holder", 0, 0, 100, 100);
    ASSERT_NE(hwnd, nullptr) << LastErrorText();
    EXPECT_FALSE(UnregisterClassW(recording.Name(), nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CLASS_HAS_WINDOWS));
    ASSERT_TRUE(DestroyWindow(hwnd));
    EXPECT_TRUE(UnregisterClassW(recording.Name(), nullptr)) << LastErrorText();

    EXPECT_FALSE(UnregisterClassW(recording.Name(), nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CLASS_DOES_NOT_EXIST));
    EXPECT_NE(LastErrorText().find("Class does not exist."), std::string::npos);

    EXPECT_EQ(CreateTopLevel(L"Never Registered", L"x", 0, 0, 10, 10), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CANNOT_FIND_WND_CLASS));
    EXPECT_NE(LastErrorText().find("Never Registered"), std::string::npos);
}

TEST(WindowClass, RejectsIncompleteDescriptions)
{
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpszClassName = L"No Procedure";
    EXPECT_EQ(RegisterClassExW(&windowClass), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.cbSize = 12;
    EXPECT_EQ(RegisterClassExW(&windowClass), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(RegisterClassExW(nullptr), 0);
}

// Only the stock application icon and arrow cursor exist; anything else is not found.
TEST(StockResources, OnlyTheApplicationIconAndTheArrowCursor)
{
    EXPECT_NE(LoadIconW(nullptr, IDI_APPLICATION), nullptr);
    EXPECT_NE(LoadCursorW(nullptr, IDC_ARROW), nullptr);
    EXPECT_EQ(LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1)), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_NAME_NOT_FOUND));
    EXPECT_EQ(LoadCursorW(nullptr, MAKEINTRESOURCEW(32513)), nullptr);  // the I-beam
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_NAME_NOT_FOUND));
}

TEST(Window, LivesOnTheServerFromCreationToDestruction)
{
    XServer server;
    RecordingClass recording(L"Morvane Lifecycle");
    ClearReceived();
    const wchar_t* caption = L"Morvane \u00e9t\u00e9 \u263a";
    HWND hwnd = CreateTopLevel(recording.Name(), caption, 50, 60, 320, 240);
    ASSERT_NE(hwnd, nullptr) << LastErrorText();
    EXPECT_TRUE(WasReceived(hwnd, WM_NCCREATE));
    EXPECT_TRUE(WasReceived(hwnd, WM_CREATE));

    Window xwindow = XWindowOf(hwnd);
    ASSERT_TRUE(server.Exists(xwindow));
    EXPECT_FALSE(server.IsShown(xwindow)) << "windows are created hidden";
    EXPECT_EQ(server.TextProperty(xwindow, "_NET_WM_NAME"), "Morvane \xc3\xa9t\xc3\xa9 \xe2\x98\xba");
    EXPECT_EQ(server.TextProperty(xwindow, "WM_NAME"), "Morvane \xe9t\xe9 ?");

    EXPECT_FALSE(ShowWindow(hwnd, SW_SHOW)) << "it was hidden before";
    EXPECT_TRUE(server.IsShown(xwindow));
    EXPECT_TRUE(ShowWindow(hwnd, SW_SHOW)) << "it was visible before";
    EXPECT_TRUE(UpdateWindow(hwnd));

    int x = 0, y = 0, width = 0, height = 0;
    server.Geometry(xwindow, x, y, width, height);
    EXPECT_EQ(x, 50);
    EXPECT_EQ(y, 60);
    EXPECT_EQ(width, 320);
    EXPECT_EQ(height, 240);
    RECT outer{}, client{};
    ASSERT_TRUE(GetWindowRect(hwnd, &outer));
    EXPECT_EQ(outer.left, 50);
    EXPECT_EQ(outer.top, 60);
    EXPECT_EQ(outer.right, 370);
    EXPECT_EQ(outer.bottom, 300);
    ASSERT_TRUE(GetClientRect(hwnd, &client));
    EXPECT_EQ(client.left, 0);
    EXPECT_EQ(client.right, 320);
    EXPECT_EQ(client.bottom, 240);

    ASSERT_TRUE(SetWindowTextW(hwnd, L"Renamed"));
    EXPECT_EQ(server.TextProperty(xwindow, "_NET_WM_NAME"), "Renamed");
    EXPECT_EQ(server.TextProperty(xwindow, "WM_NAME"), "Renamed");
    wchar_t text[32] = {};
    EXPECT_EQ(GetWindowTextW(hwnd, text, 32), 7);
    EXPECT_STREQ(text, L"Renamed");

    ASSERT_TRUE(MoveWindow(hwnd, 200, 100, 400, 300, TRUE));
    server.Geometry(xwindow, x, y, width, height);
    EXPECT_EQ(x, 200);
    EXPECT_EQ(y, 100);
    EXPECT_EQ(width, 400);
    EXPECT_EQ(height, 300);

    EXPECT_TRUE(ShowWindow(hwnd, SW_HIDE));
    EXPECT_FALSE(server.IsShown(xwindow));

    ASSERT_TRUE(DestroyWindow(hwnd));
    EXPECT_TRUE(WasReceived(hwnd, WM_DESTROY));
    EXPECT_FALSE(server.Exists(xwindow));
    EXPECT_FALSE(IsWindow(hwnd));

    // A second destruction, as the application's teardown does after the user closed the window.
    EXPECT_FALSE(DestroyWindow(hwnd));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_WINDOW_HANDLE));
    EXPECT_NE(LastErrorText().find("Invalid window handle."), std::string::npos);
    EXPECT_EQ(GetDC(hwnd), nullptr);
    EXPECT_TRUE(UnregisterClassW(recording.Name(), nullptr));
}

TEST(Window, DefaultPositionAndZeroSize)
{
    XServer server;
    RecordingClass recording(L"DummyWindowClass");
    HWND hwnd = CreateTopLevel(recording.Name(), L"DummyWindow", CW_USEDEFAULT, CW_USEDEFAULT, 0, 0);
    ASSERT_NE(hwnd, nullptr) << LastErrorText();
    HDC dc = GetDC(hwnd);
    EXPECT_NE(dc, nullptr);
    EXPECT_EQ(GetDC(hwnd), dc) << "the device context names the window";
    RECT client{1, 1, 1, 1};
    ASSERT_TRUE(GetClientRect(hwnd, &client));
    EXPECT_EQ(client.right, 0);
    EXPECT_EQ(client.bottom, 0);
    RECT outer{};
    ASSERT_TRUE(GetWindowRect(hwnd, &outer));
    EXPECT_EQ(outer.right - outer.left, 0);
    EXPECT_TRUE(server.Exists(XWindowOf(hwnd)));
    EXPECT_TRUE(DestroyWindow(hwnd));
}

// The work area is the monitor within the current desktop's _NET_WORKAREA, which the test writes
// on the root window as a window manager would; windows created at CW_USEDEFAULT all go to the
// same place just inside its top-left corner, with the hints that make managers keep it.
TEST(Window, MonitorWorkAreaAndDefaultPosition)
{
    XServer server;
    Display* display = server.display();
    ASSERT_NE(display, nullptr);
    Window root = DefaultRootWindow(display);
    const LONG width = DisplayWidth(display, DefaultScreen(display));
    const LONG height = DisplayHeight(display, DefaultScreen(display));
    auto setRootCardinals = [&](const char* name, std::vector<long> values) {
        XChangeProperty(display, root, XInternAtom(display, name, False), XA_CARDINAL, 32,
                        PropModeReplace, reinterpret_cast<unsigned char*>(values.data()),
                        static_cast<int>(values.size()));
        XSync(display, False);
    };
    auto removeRootProperty = [&](const char* name) {
        XDeleteProperty(display, root, XInternAtom(display, name, False));
        XSync(display, False);
    };
    auto expectRect = [](const RECT& rect, LONG left, LONG top, LONG right, LONG bottom) {
        EXPECT_EQ(rect.left, left);
        EXPECT_EQ(rect.top, top);
        EXPECT_EQ(rect.right, right);
        EXPECT_EQ(rect.bottom, bottom);
    };
    RecordingClass recording(L"Morvane Monitors");

    // No work area announced: the whole monitor.
    removeRootProperty("_NET_WORKAREA");
    removeRootProperty("_NET_CURRENT_DESKTOP");
    HWND hwnd = CreateTopLevel(recording.Name(), L"On Screen", 50, 60, 320, 240);
    ASSERT_NE(hwnd, nullptr) << LastErrorText();
    HMONITOR monitor = MonitorFromWindow(hwnd, MONITOR_DEFAULTTONEAREST);
    ASSERT_NE(monitor, nullptr) << LastErrorText();
    MONITORINFO info{};
    info.cbSize = sizeof info;
    ASSERT_TRUE(GetMonitorInfoW(monitor, &info)) << LastErrorText();
    expectRect(info.rcMonitor, 0, 0, width, height);
    expectRect(info.rcWork, 0, 0, width, height);
    EXPECT_EQ(info.dwFlags, static_cast<DWORD>(MONITORINFOF_PRIMARY));

    // Two desktops, the second current: its work area, kept within the monitor.
    setRootCardinals("_NET_WORKAREA", {0, 0, width, height, 100, 30, width - 100, height + 500});
    setRootCardinals("_NET_CURRENT_DESKTOP", {1});
    ASSERT_TRUE(GetMonitorInfoW(MonitorFromWindow(hwnd, MONITOR_DEFAULTTONEAREST), &info));
    expectRect(info.rcMonitor, 0, 0, width, height);
    expectRect(info.rcWork, 100, 30, width, height);

    // A current desktop of 0xFFFFFFFF (set as a user would, with xprop), which Xlib hands over
    // sign-extended: it names no desktop of the list, so the first one's work area stands.
    setRootCardinals("_NET_WORKAREA", {10, 20, width - 10, height - 20, 100, 30, width - 100, height - 30});
    ASSERT_EQ(std::system("xprop -root -f _NET_CURRENT_DESKTOP 32c -set _NET_CURRENT_DESKTOP 0xFFFFFFFF"), 0);
    ASSERT_TRUE(GetMonitorInfoW(MonitorFromWindow(hwnd, MONITOR_DEFAULTTONEAREST), &info)) << LastErrorText();
    expectRect(info.rcWork, 10, 20, width, height);
    // The desktop just past the list's end is no desktop either.
    setRootCardinals("_NET_CURRENT_DESKTOP", {2});
    ASSERT_TRUE(GetMonitorInfoW(MonitorFromWindow(hwnd, MONITOR_DEFAULTTONEAREST), &info)) << LastErrorText();
    expectRect(info.rcWork, 10, 20, width, height);
    setRootCardinals("_NET_WORKAREA", {0, 0, width, height, 100, 30, width - 100, height + 500});
    setRootCardinals("_NET_CURRENT_DESKTOP", {1});

    // Off every monitor: the nearest or the primary one, or none when asked for none.
    ASSERT_TRUE(MoveWindow(hwnd, width + 400, 10, 320, 240, TRUE));
    EXPECT_EQ(MonitorFromWindow(hwnd, MONITOR_DEFAULTTONEAREST), monitor);
    EXPECT_EQ(MonitorFromWindow(hwnd, MONITOR_DEFAULTTOPRIMARY), monitor);
    EXPECT_EQ(MonitorFromWindow(hwnd, MONITOR_DEFAULTTONULL), nullptr);

    // Windows created at CW_USEDEFAULT: one place a little inside the work area's corner, the
    // same for every window, handed to the window manager as a position the program chose.
    std::vector<HWND> defaults;
    for (int i = 0; i < 2; ++i) {
        defaults.push_back(CreateTopLevel(recording.Name(), L"Default Place", CW_USEDEFAULT,
                                          CW_USEDEFAULT, 400, 300));
        ASSERT_NE(defaults.back(), nullptr) << LastErrorText();
        EXPECT_FALSE(ShowWindow(defaults.back(), SW_SHOW));
    }
    RECT first{}, second{};
    ASSERT_TRUE(GetWindowRect(defaults[0], &first));
    ASSERT_TRUE(GetWindowRect(defaults[1], &second));
    EXPECT_GT(first.left, 100);
    EXPECT_LE(first.left, 100 + 32);
    EXPECT_GT(first.top, 30);
    EXPECT_LE(first.top, 30 + 32);
    EXPECT_EQ(first.right - first.left, 400);
    expectRect(second, first.left, first.top, first.right, first.bottom);
    XSizeHints hints{};
    long supplied = 0;
    ASSERT_TRUE(XGetWMNormalHints(display, XWindowOf(defaults[1]), &hints, &supplied));
    EXPECT_EQ(hints.flags & (USPosition | PPosition), USPosition | PPosition);
    EXPECT_EQ(hints.flags & PWinGravity, PWinGravity);
    EXPECT_EQ(hints.win_gravity, NorthWestGravity);

    // Failures name themselves.
    EXPECT_EQ(MonitorFromWindow(hwnd, 3), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_FLAGS));
    info.cbSize = sizeof info + 4;
    EXPECT_FALSE(GetMonitorInfoW(monitor, &info));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    info.cbSize = sizeof info;
    EXPECT_FALSE(GetMonitorInfoW(reinterpret_cast<HMONITOR>(static_cast<uintptr_t>(77)), &info));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_MONITOR_HANDLE));
    EXPECT_NE(LastErrorText().find("Invalid monitor handle."), std::string::npos) << LastErrorText();
    for (HWND window : defaults) {
        EXPECT_TRUE(DestroyWindow(window));
    }
    EXPECT_TRUE(DestroyWindow(hwnd));
    EXPECT_EQ(MonitorFromWindow(hwnd, MONITOR_DEFAULTTONEAREST), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_WINDOW_HANDLE));
    removeRootProperty("_NET_WORKAREA");
    removeRootProperty("_NET_CURRENT_DESKTOP");
}

TEST(Window, CreationFailsWhenTheProcedureRefusesWmCreate)
{
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = RefusingProcedure;
    windowClass.lpszClassName = L"Refusing";
    ASSERT_NE(RegisterClassExW(&windowClass), 0);
    EXPECT_EQ(CreateTopLevel(L"Refusing", L"No", 0, 0, 50, 50), nullptr);
    EXPECT_NE(LastErrorText().find("WM_CREATE"), std::string::npos);
    EXPECT_TRUE(UnregisterClassW(L"Refusing", nullptr)) << "the refused window is gone";
}

// GWLP_USERDATA keeps a value per window and hands back the one it replaces; the other slots
// are refused.
TEST(Window, UserDataSlotKeepsAValueAndOtherSlotsAreRefused)
{
    XServer server;
    RecordingClass recording(L"Morvane User Data");
    HWND hwnd = CreateTopLevel(recording.Name(), L"User data", 0, 0, 100, 100);
    ASSERT_NE(hwnd, nullptr) << LastErrorText();
    int first = 0, second = 0;
    EXPECT_EQ(GetWindowLongPtrW(hwnd, GWLP_USERDATA), 0);
    EXPECT_EQ(SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&first)), 0);
    EXPECT_EQ(GetWindowLongPtrW(hwnd, GWLP_USERDATA), reinterpret_cast<LONG_PTR>(&first));
    EXPECT_EQ(SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&second)),
              reinterpret_cast<LONG_PTR>(&first));
    EXPECT_EQ(GetWindowLongPtrW(hwnd, GWLP_USERDATA), reinterpret_cast<LONG_PTR>(&second));

    EXPECT_EQ(SetWindowLongPtrW(hwnd, GWLP_WNDPROC, 0), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_INDEX));
    EXPECT_EQ(GetWindowLongPtrW(hwnd, GWLP_WNDPROC), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_INDEX));
    ASSERT_TRUE(DestroyWindow(hwnd));
    EXPECT_EQ(GetWindowLongPtrW(hwnd, GWLP_USERDATA), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_WINDOW_HANDLE));
}
