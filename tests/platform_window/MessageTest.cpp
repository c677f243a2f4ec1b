// Real pointer and keyboard input, made by the XTEST extension on the test's own connection,
// arriving through PeekMessageW as Win32 mouse and keyboard messages with Win32 packing, one per
// call; and the window
// manager's close request ending in WM_DESTROY and, after everything else, WM_QUIT.
#include <gtest/gtest.h>

#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <algorithm>
#include <chrono>
#include <clocale>
#include <thread>

#include "tests/support/LayerText.h"
#include "tests/support/MessageRecorder.h"
#include "tests/support/XServer.h"
#include "platform/linux/UserInternal.h"
#include "platform/linux/X11Internal.h"

using namespace TestSupport;

namespace {

// Where the test windows sit on the screen (no window manager moves them here).
const int kLeft = 100;
const int kTop = 100;

class Messages : public ::testing::Test {
protected:
    void SetUp() override
    {
        Platform::ResetMessageQueue();
        m_hwnd = CreateTopLevel(L"Pointer target", kLeft, kTop, 200, 150);
        ASSERT_NE(m_hwnd, nullptr) << LastErrorText();
        ShowWindow(m_hwnd, SW_SHOW);
        // Park the pointer outside every window, then forget whatever is pending.
        MovePointer(5, 900);
        Settle();
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        }
        ClearReceived();
    }

    void TearDown() override
    {
        if (IsWindow(m_hwnd)) {
            DestroyWindow(m_hwnd);
        }
        Platform::ResetMessageQueue();
    }

    HWND CreateTopLevel(const wchar_t* caption, int x, int y, int width, int height)
    {
        return CreateWindowExW(0, m_class.Name(), caption, WS_CAPTION | WS_SYSMENU, x, y, width,
                               height, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    }

    void MovePointer(int x, int y)
    {
        XTestFakeMotionEvent(m_server.display(), 0, x, y, CurrentTime);
    }

    void Button(unsigned int button, bool press)
    {
        XTestFakeButtonEvent(m_server.display(), button, press ? True : False, CurrentTime);
    }

    void Shift(bool press)
    {
        KeyCode shift = XKeysymToKeycode(m_server.display(), XK_Shift_L);
        XTestFakeKeyEvent(m_server.display(), shift, press ? True : False, CurrentTime);
    }

    // Once the server has handled the test's requests, a round trip on the layer's connection
    // brings every event they caused into its queue.
    void Settle()
    {
        XSync(m_server.display(), False);
        XSync(Platform::X11ConnectionIfOpen(), False);
    }

    // The next message; events reach the server on its own schedule, so this waits for one.
    MSG Next()
    {
        MSG msg{};
        auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (!PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (std::chrono::steady_clock::now() > deadline) {
                ADD_FAILURE() << "no message arrived";
                break;
            }
            Settle();
        }
        return msg;
    }

    bool NothingPending()
    {
        Settle();
        MSG msg{};
        bool found = PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE);
        EXPECT_FALSE(found) << "unexpected message 0x" << std::hex << msg.message;
        return !found;
    }

    void ExpectMessage(UINT message, WPARAM wParam, int x, int y)
    {
        MSG msg = Next();
        EXPECT_EQ(msg.hwnd, m_hwnd);
        EXPECT_EQ(msg.message, message) << std::hex << msg.message;
        EXPECT_EQ(msg.wParam, wParam) << "message 0x" << std::hex << message;
        EXPECT_EQ(GET_X_LPARAM(msg.lParam), x) << "message 0x" << std::hex << message;
        EXPECT_EQ(GET_Y_LPARAM(msg.lParam), y) << "message 0x" << std::hex << message;
        DispatchMessageW(&msg);
    }

    RecordingClass m_class{L"Morvane Message Test", true};
    XServer m_server;
    HWND m_hwnd = nullptr;
};

}  // namespace

TEST_F(Messages, QueuedMotionsBecomeTheLatestMove)
{
    for (int step = 0; step < 5; ++step) {
        MovePointer(kLeft + 10 + step * 10, kTop + 10 + step * 5);
    }
    Settle();
    MSG msg = Next();
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_MOUSEMOVE));
    EXPECT_EQ(msg.hwnd, m_hwnd);
    EXPECT_EQ(msg.lParam, MAKELPARAM(50, 30));
    EXPECT_EQ(msg.wParam, 0u);
    EXPECT_EQ(msg.pt.x, kLeft + 50);
    EXPECT_EQ(msg.pt.y, kTop + 30);
    NothingPending();

    DispatchMessageW(&msg);
    ASSERT_EQ(ReceivedMessages().size(), 1u);
    EXPECT_EQ(ReceivedMessages()[0].message, static_cast<UINT>(WM_MOUSEMOVE));
    EXPECT_EQ(ReceivedMessages()[0].lParam, MAKELPARAM(50, 30));
}

TEST_F(Messages, ButtonsCarryTheKeyStateAfterTheEvent)
{
    MovePointer(kLeft + 20, kTop + 20);
    Button(1, true);
    MovePointer(kLeft + 30, kTop + 25);
    Button(3, true);
    Button(3, false);
    Shift(true);
    Button(2, true);
    Button(2, false);
    Shift(false);
    Button(1, false);
    Settle();

    ExpectMessage(WM_MOUSEMOVE, 0, 20, 20);
    ExpectMessage(WM_LBUTTONDOWN, MK_LBUTTON, 20, 20);
    ExpectMessage(WM_MOUSEMOVE, MK_LBUTTON, 30, 25);
    ExpectMessage(WM_RBUTTONDOWN, MK_LBUTTON | MK_RBUTTON, 30, 25);
    ExpectMessage(WM_RBUTTONUP, MK_LBUTTON, 30, 25);
    ExpectMessage(WM_MBUTTONDOWN, MK_LBUTTON | MK_MBUTTON | MK_SHIFT, 30, 25);
    ExpectMessage(WM_MBUTTONUP, MK_LBUTTON | MK_SHIFT, 30, 25);
    ExpectMessage(WM_LBUTTONUP, 0, 30, 25);
    NothingPending();
    EXPECT_EQ(ReceivedMessages().size(), 8u) << "every message reached the window procedure";
}

// Keys the program handles arrive as WM_KEYDOWN and WM_KEYUP with their virtual-key codes and
// Windows' lParam bits (a repeat count of 1, extended for the navigation keys, bit 30 for a key
// already down, bit 31 for a release); every other key (here Shift) makes no message.
TEST_F(Messages, HandledKeysArriveWithTheirVirtualKeysAndRepeatsSaySo)
{
    auto key = [this](KeySym keysym, bool press) {
        XTestFakeKeyEvent(m_server.display(), XKeysymToKeycode(m_server.display(), keysym), press ? True : False,
                          CurrentTime);
    };
    auto expectKey = [this](UINT message, WPARAM virtualKey, bool extended, bool wasDown) {
        MSG msg = Next();
        EXPECT_EQ(msg.hwnd, m_hwnd);
        EXPECT_EQ(msg.message, message) << std::hex << msg.message;
        EXPECT_EQ(msg.wParam, virtualKey) << std::hex << msg.wParam;
        const DWORD bits = static_cast<DWORD>(msg.lParam);
        EXPECT_EQ(bits & 0xFFFFu, 1u) << "repeat count";
        EXPECT_EQ((bits >> 24) & 1u, extended ? 1u : 0u) << "extended key";
        EXPECT_EQ((bits >> 30) & 1u, wasDown ? 1u : 0u) << "previous key state";
        EXPECT_EQ(bits >> 31, message == WM_KEYUP ? 1u : 0u) << "transition";
        DispatchMessageW(&msg);
    };
    MovePointer(kLeft + 20, kTop + 20);  // without a window manager, the focus follows the pointer
    Settle();
    ExpectMessage(WM_MOUSEMOVE, 0, 20, 20);
    key(XK_space, true);
    key(XK_space, false);
    Shift(true);
    key(XK_Right, true);
    // Held past the server's auto-repeat delay: the key repeats as presses alone.
    XSync(m_server.display(), False);
    std::this_thread::sleep_for(std::chrono::milliseconds(1200));
    key(XK_Right, false);
    Shift(false);
    for (KeySym keysym : {XK_Home, XK_Left, XK_F1, XK_F11, XK_F12, XK_Escape}) {
        key(keysym, true);
        key(keysym, false);
    }
    Settle();
    expectKey(WM_KEYDOWN, VK_SPACE, false, false);
    expectKey(WM_KEYUP, VK_SPACE, false, true);
    expectKey(WM_KEYDOWN, VK_RIGHT, true, false);
    expectKey(WM_KEYDOWN, VK_RIGHT, true, true);
    MSG msg{};
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE) && msg.message == WM_KEYDOWN) {
        expectKey(WM_KEYDOWN, VK_RIGHT, true, true);  // more repeats, as the held time allowed
    }
    expectKey(WM_KEYUP, VK_RIGHT, true, true);
    const std::pair<WPARAM, bool> others[] = {{VK_HOME, true}, {VK_LEFT, true}, {VK_F1, false},
                                              {VK_F11, false}, {VK_F12, false}, {VK_ESCAPE, false}};
    for (const auto& other : others) {
        expectKey(WM_KEYDOWN, other.first, other.second, false);
        expectKey(WM_KEYUP, other.first, other.second, true);
    }
    NothingPending();
}

TEST_F(Messages, DragOutOfTheWindowGivesNegativeCoordinates)
{
    MovePointer(kLeft + 10, kTop + 10);
    Button(1, true);
    MovePointer(kLeft - 20, kTop - 10);
    Settle();
    ExpectMessage(WM_MOUSEMOVE, 0, 10, 10);
    ExpectMessage(WM_LBUTTONDOWN, MK_LBUTTON, 10, 10);
    MSG drag = Next();
    EXPECT_EQ(drag.message, static_cast<UINT>(WM_MOUSEMOVE));
    // Two unsigned 16-bit words, as Windows packs them.
    EXPECT_EQ(drag.lParam, static_cast<LPARAM>(0xFFF6FFECu));
    EXPECT_EQ(GET_X_LPARAM(drag.lParam), -20);
    EXPECT_EQ(GET_Y_LPARAM(drag.lParam), -10);
    Button(1, false);
    Settle();
    ExpectMessage(WM_LBUTTONUP, 0, -20, -10);
}

TEST_F(Messages, EachWheelNotchIsOneMessageInScreenCoordinates)
{
    MovePointer(kLeft + 40, kTop + 30);
    Settle();
    ExpectMessage(WM_MOUSEMOVE, 0, 40, 30);
    Button(4, true);
    Button(4, false);
    Button(1, true);
    Button(5, true);
    Button(5, false);
    Button(1, false);
    Settle();

    MSG away = Next();
    EXPECT_EQ(away.message, static_cast<UINT>(WM_MOUSEWHEEL));
    EXPECT_EQ(GET_WHEEL_DELTA_WPARAM(away.wParam), 120);
    EXPECT_EQ(GET_KEYSTATE_WPARAM(away.wParam), 0);
    EXPECT_EQ(GET_X_LPARAM(away.lParam), kLeft + 40);
    EXPECT_EQ(GET_Y_LPARAM(away.lParam), kTop + 30);
    ExpectMessage(WM_LBUTTONDOWN, MK_LBUTTON, 40, 30);
    MSG toward = Next();
    EXPECT_EQ(toward.message, static_cast<UINT>(WM_MOUSEWHEEL));
    EXPECT_EQ(GET_WHEEL_DELTA_WPARAM(toward.wParam), -120);
    EXPECT_EQ(GET_KEYSTATE_WPARAM(toward.wParam), MK_LBUTTON);
    ExpectMessage(WM_LBUTTONUP, 0, 40, 30);
    NothingPending();
}

TEST_F(Messages, CloseRequestEndsInDestroyAndQuitComesLast)
{
    HWND other = CreateTopLevel(L"Other", 400, 100, 100, 100);
    ShowWindow(other, SW_SHOW);
    Window xwindow = XWindowOf(m_hwnd);

    m_server.SendCloseRequest(xwindow);
    Settle();

    MSG msg = Next();
    ASSERT_EQ(msg.message, static_cast<UINT>(WM_CLOSE));
    EXPECT_EQ(msg.hwnd, m_hwnd);
    PostMessageW(nullptr, WM_APP + 1, 0, 0);
    MovePointer(410, 110);  // a move over the other window, pending while the quit is posted
    Settle();
    DispatchMessageW(&msg);
    EXPECT_FALSE(IsWindow(m_hwnd)) << "the default handling of WM_CLOSE destroys the window";
    ASSERT_FALSE(ReceivedMessages().empty());
    EXPECT_EQ(ReceivedMessages().back().message, static_cast<UINT>(WM_DESTROY));
    EXPECT_FALSE(m_server.Exists(xwindow));
    PostMessageW(nullptr, WM_APP + 2, 0, 0);

    std::vector<UINT> order;
    for (int i = 0; i < 4; ++i) {
        order.push_back(Next().message);
    }
    EXPECT_EQ(order.back(), static_cast<UINT>(WM_QUIT));
    EXPECT_NE(std::find(order.begin(), order.end(), WM_APP + 1), order.end());
    EXPECT_NE(std::find(order.begin(), order.end(), WM_APP + 2), order.end());
    EXPECT_NE(std::find(order.begin(), order.end(), WM_MOUSEMOVE), order.end());
    NothingPending();
    DestroyWindow(other);
}

TEST_F(Messages, PointerOverTheGlSurfaceReachesTheWindow)
{
    PIXELFORMATDESCRIPTOR descriptor{};
    descriptor.nSize = sizeof descriptor;
    descriptor.nVersion = 1;
    descriptor.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    descriptor.cColorBits = 24;
    descriptor.cDepthBits = 24;
    HDC dc = GetDC(m_hwnd);
    ASSERT_TRUE(SetPixelFormat(dc, ChoosePixelFormat(dc, &descriptor), &descriptor))
        << LastErrorText();
    MovePointer(kLeft + 70, kTop + 80);
    Button(3, true);
    Button(3, false);
    Settle();
    ExpectMessage(WM_MOUSEMOVE, 0, 70, 80);
    ExpectMessage(WM_RBUTTONDOWN, MK_RBUTTON, 70, 80);
    ExpectMessage(WM_RBUTTONUP, 0, 70, 80);
    NothingPending();
}

TEST_F(Messages, EventsOfDestroyedWindowsAreDropped)
{
    MovePointer(kLeft + 15, kTop + 15);
    Button(1, true);
    Button(1, false);
    Settle();
    ASSERT_TRUE(DestroyWindow(m_hwnd));
    Platform::ResetMessageQueue();  // the recording procedure posted a quit on WM_DESTROY
    NothingPending();
}

// Windows matches class names without regard to case, and alike in every locale. The program's
// GTK dialogs take the user's locale, under which a Turkish C library lowers 'I' to a dotless 'ı':
// a class registered with an 'I' must still be found by its lower-case name.
TEST(WindowClassNames, MatchWithoutRegardToCaseUnderATurkishLocale)
{
    ASSERT_NE(std::setlocale(LC_ALL, "tr_TR.UTF-8"), nullptr)
        << "the tr_TR.UTF-8 locale is missing (scripts/install-deps.sh generates it)";
    struct RestoreLocale {
        ~RestoreLocale() { std::setlocale(LC_ALL, "C"); }
    } restore;

    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"Morvane Input Class";
    ASSERT_NE(RegisterClassExW(&windowClass), 0) << LastErrorText();

    HWND window = CreateWindowExW(0, L"morvane input class", L"Found by its lower-case class",
                                  WS_CAPTION, 0, 0, 100, 100, nullptr, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
    EXPECT_NE(window, nullptr) << LastErrorText();
    if (window) {
        DestroyWindow(window);
    }
    EXPECT_EQ(RegisterClassExW(&windowClass), 0) << "registered a second time";
    EXPECT_TRUE(UnregisterClassW(L"morvane input class", GetModuleHandleW(nullptr)))
        << LastErrorText();
    UnregisterClassW(L"Morvane Input Class", GetModuleHandleW(nullptr));
}

// The whole queue of the thread is peeked at: a window or a message range is refused rather than
// ignored. PM_NOREMOVE leaves the message first in line, and TranslateMessage makes nothing.
TEST_F(Messages, PeekTakesNoFilterAndNoRemoveLeavesTheMessageFirst)
{
    ASSERT_TRUE(PostMessageW(m_hwnd, WM_APP + 1, 7, 8));
    MSG msg{};
    EXPECT_FALSE(PeekMessageW(&msg, m_hwnd, 0, 0, PM_REMOVE));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_SUPPORTED));
    EXPECT_FALSE(PeekMessageW(&msg, nullptr, WM_APP, WM_APP + 5, PM_REMOVE));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_SUPPORTED));

    for (UINT remove : {PM_NOREMOVE, PM_REMOVE}) {
        msg = MSG{};
        ASSERT_TRUE(PeekMessageW(&msg, nullptr, 0, 0, remove));
        EXPECT_EQ(msg.hwnd, m_hwnd);
        EXPECT_EQ(msg.message, static_cast<UINT>(WM_APP + 1));
        EXPECT_EQ(msg.wParam, 7u);
        EXPECT_EQ(msg.lParam, 8);
    }
    EXPECT_FALSE(TranslateMessage(&msg));
    NothingPending();
}
