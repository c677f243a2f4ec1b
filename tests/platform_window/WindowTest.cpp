// Window classes and windows on a bare X server (no window manager): registration rules,
// creation hidden, the caption and size as other X clients see them, placement, destruction.
#include <gtest/gtest.h>

#include "XServer.h"

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

TEST(Window, LivesOnTheServerFromCreationToDestruction)
{
    XServer server;
    RecordingClass recording(L"Morvane Lifecycle");
    ReceivedMessages().clear();
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
