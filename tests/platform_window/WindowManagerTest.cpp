// Windows under a real window manager (openbox), as users run the program: the outer size
// includes the frame the manager adds, the frame offers only what the style has, MoveWindow places the frame's corner, a close asked of
// the manager arrives as WM_CLOSE, and a pixel format keeps the window and gives GL a surface
// that follows the window's size.
#include <gtest/gtest.h>

#include <X11/Xatom.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <chrono>
#include <vector>

#include "tests/support/LayerText.h"
#include "tests/support/MessageRecorder.h"
#include "tests/support/XServer.h"
#include "platform/linux/GlxInternal.h"
#include "platform/linux/UserInternal.h"
#include "platform/linux/X11Internal.h"

using namespace TestSupport;

namespace {

class UnderWindowManager : public ::testing::Test {
protected:
    void SetUp() override
    {
        Platform::ResetMessageQueue();
        // Without a manager every check below would fail for a reason that is not ours.
        ASSERT_TRUE(m_server.WindowManagerRunning())
            << "no window manager runs on this display; these tests need one";
    }

    // A window that an assertion cut short would keep its class registered and spoil the
    // tests that follow.
    void TearDown() override
    {
        for (HWND hwnd : m_windows) {
            if (IsWindow(hwnd)) {
                DestroyWindow(hwnd);
            }
        }
    }

    HWND CreateMain(const wchar_t* caption, DWORD style = WS_CAPTION | WS_SYSMENU | WS_THICKFRAME)
    {
        HWND hwnd = CreateWindowExW(WS_EX_CLIENTEDGE, m_class.Name(), caption, style, CW_USEDEFAULT,
                                    CW_USEDEFAULT, 800, 600, nullptr, nullptr,
                                    GetModuleHandleW(nullptr), nullptr);
        EXPECT_NE(hwnd, nullptr) << LastErrorText();
        m_windows.push_back(hwnd);
        return hwnd;
    }

    // The window manager's frame around one of our windows: its top-level ancestor, and that
    // ancestor's rectangle on the screen.
    RECT FrameOnServer(Window window)
    {
        Display* display = m_server.display();
        Window root = 0, parent = 0, *children = nullptr;
        unsigned count = 0;
        for (;;) {
            XQueryTree(display, window, &root, &parent, &children, &count);
            if (children) {
                XFree(children);
            }
            if (parent == root) {
                break;
            }
            window = parent;
        }
        int x = 0, y = 0, width = 0, height = 0;
        m_server.Geometry(window, x, y, width, height);
        return RECT{x, y, x + width, y + height};
    }

    RecordingClass m_class{L"Morvane Managed Test", true};
    XServer m_server;
    std::vector<HWND> m_windows;
};

}  // namespace

TEST_F(UnderWindowManager, OuterSizeIncludesTheFrame)
{
    HWND hwnd = CreateMain(L"Framed");
    ShowWindow(hwnd, SW_SHOW);
    RECT outer{}, client{};
    ASSERT_TRUE(GetWindowRect(hwnd, &outer));
    ASSERT_TRUE(GetClientRect(hwnd, &client));
    EXPECT_EQ(outer.right - outer.left, 800);
    EXPECT_EQ(outer.bottom - outer.top, 600);
    EXPECT_LT(client.right, 800) << "the frame takes its share of the 800 x 600";
    EXPECT_LT(client.bottom, 600);
    EXPECT_GT(client.right, 700);
    EXPECT_GT(client.bottom, 500);

    Window xwindow = XWindowOf(hwnd);
    int x = 0, y = 0, width = 0, height = 0;
    m_server.Geometry(xwindow, x, y, width, height);
    EXPECT_EQ(width, client.right);
    EXPECT_EQ(height, client.bottom);
    RECT frame = FrameOnServer(xwindow);
    EXPECT_EQ(frame.left, outer.left);
    EXPECT_EQ(frame.top, outer.top);
    EXPECT_EQ(frame.right, outer.right);
    EXPECT_EQ(frame.bottom, outer.bottom);
    DestroyWindow(hwnd);
}

TEST_F(UnderWindowManager, FrameOffersWhatTheStyleHas)
{
    Display* display = m_server.display();
    // Whether the manager announces the action as allowed on the window.
    auto allows = [&](HWND hwnd, const char* action) {
        std::vector<unsigned long> actions =
            m_server.Items(XWindowOf(hwnd), "_NET_WM_ALLOWED_ACTIONS", XA_ATOM);
        Atom wanted = XInternAtom(display, action, False);
        return std::find(actions.begin(), actions.end(), wanted) != actions.end();
    };
    // The Motif function bits the window offers to managers that honour them all (openbox
    // honours moving and resizing only): 2 resize, 4 move, 8 minimise, 16 maximise, 32 close.
    auto motifFunctions = [&](HWND hwnd) {
        std::vector<unsigned long> hints = m_server.Items(
            XWindowOf(hwnd), "_MOTIF_WM_HINTS", XInternAtom(display, "_MOTIF_WM_HINTS", False));
        if (hints.size() < 2) {
            ADD_FAILURE() << "the window has no Motif hints";
            return ~0UL;
        }
        EXPECT_EQ(hints[0], 1UL) << "only the functions are given; decorations stay the manager's";
        return hints[1];
    };

    HWND main = CreateMain(L"No Boxes");
    ShowWindow(main, SW_SHOW);
    EXPECT_TRUE(allows(main, "_NET_WM_ACTION_CLOSE"));
    EXPECT_TRUE(allows(main, "_NET_WM_ACTION_RESIZE"));
    EXPECT_TRUE(allows(main, "_NET_WM_ACTION_MOVE"));
    EXPECT_EQ(motifFunctions(main), 2UL | 4UL | 32UL);

    HWND full = CreateMain(L"All Boxes", WS_OVERLAPPEDWINDOW);
    ShowWindow(full, SW_SHOW);
    EXPECT_TRUE(allows(full, "_NET_WM_ACTION_RESIZE"));
    EXPECT_TRUE(allows(full, "_NET_WM_ACTION_MINIMIZE"));
    EXPECT_EQ(motifFunctions(full), 2UL | 4UL | 8UL | 16UL | 32UL);

    HWND fixed = CreateMain(L"Fixed Frame", WS_CAPTION | WS_SYSMENU);
    ShowWindow(fixed, SW_SHOW);
    EXPECT_TRUE(allows(fixed, "_NET_WM_ACTION_CLOSE"));
    EXPECT_TRUE(allows(fixed, "_NET_WM_ACTION_MOVE"));
    EXPECT_FALSE(allows(fixed, "_NET_WM_ACTION_RESIZE"));
    EXPECT_EQ(motifFunctions(fixed), 4UL | 32UL);
}

TEST_F(UnderWindowManager, MoveWindowPlacesTheFrameCorner)
{
    HWND hwnd = CreateMain(L"Moved");
    ShowWindow(hwnd, SW_SHOW);
    ASSERT_TRUE(MoveWindow(hwnd, 300, 200, 400, 300, TRUE));
    Window xwindow = XWindowOf(hwnd);
    RECT frame{};
    // The manager moves its frame on its own schedule.
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    do {
        frame = FrameOnServer(xwindow);
    } while ((frame.left != 300 || frame.top != 200) && std::chrono::steady_clock::now() < deadline);
    EXPECT_EQ(frame.left, 300);
    EXPECT_EQ(frame.top, 200);
    EXPECT_EQ(frame.right, 700);
    EXPECT_EQ(frame.bottom, 500);
    RECT outer{};
    ASSERT_TRUE(GetWindowRect(hwnd, &outer));
    EXPECT_EQ(outer.left, 300);
    EXPECT_EQ(outer.top, 200);
    EXPECT_EQ(outer.right, 700);
    EXPECT_EQ(outer.bottom, 500);
    DestroyWindow(hwnd);
}

TEST_F(UnderWindowManager, CloseAskedOfTheManagerArrivesAsWmClose)
{
    HWND hwnd = CreateMain(L"To Close");
    ShowWindow(hwnd, SW_SHOW);
    Window xwindow = XWindowOf(hwnd);
    Display* display = m_server.display();

    // What a pager or a taskbar does: ask the window manager to close the window.
    XEvent request{};
    request.xclient.type = ClientMessage;
    request.xclient.window = xwindow;
    request.xclient.message_type = XInternAtom(display, "_NET_CLOSE_WINDOW", False);
    request.xclient.format = 32;
    request.xclient.data.l[0] = CurrentTime;
    request.xclient.data.l[1] = 2;  // from a pager
    XSendEvent(display, DefaultRootWindow(display), False,
               SubstructureRedirectMask | SubstructureNotifyMask, &request);
    XSync(display, False);

    std::vector<UINT> seen;
    MSG msg{};
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (std::chrono::steady_clock::now() < deadline) {
        XSync(Platform::X11ConnectionIfOpen(), False);
        if (!PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            continue;
        }
        seen.push_back(msg.message);
        if (msg.message == WM_QUIT) {
            break;
        }
        DispatchMessageW(&msg);
    }
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(seen.back(), static_cast<UINT>(WM_QUIT));
    EXPECT_NE(std::find(seen.begin(), seen.end(), WM_CLOSE), seen.end());
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_EQ(ReceivedMessages().back().message, static_cast<UINT>(WM_DESTROY));
}

TEST_F(UnderWindowManager, PixelFormatKeepsTheWindowAndTheSurfaceFollowsItsSize)
{
    HWND hwnd = CreateMain(L"With Surface");
    ShowWindow(hwnd, SW_SHOW);
    HDC dc = GetDC(hwnd);
    Display* display = m_server.display();
    VisualID defaultVisual = XVisualIDFromVisual(DefaultVisual(display, DefaultScreen(display)));
    int format = 0;
    const auto& formats = Platform::PixelFormats();
    for (size_t i = 0; i < formats.size() && !format; ++i) {
        if (formats[i].HasPlainVisual() && XVisualIDFromVisual(formats[i].visual) != defaultVisual) {
            format = static_cast<int>(i) + 1;
        }
    }
    ASSERT_NE(format, 0) << "the server offers no second visual";
    RECT before{}, after{}, client{};
    GetWindowRect(hwnd, &before);
    Window xwindow = XWindowOf(hwnd);

    PIXELFORMATDESCRIPTOR descriptor{};
    ASSERT_TRUE(SetPixelFormat(dc, format, &descriptor)) << LastErrorText();
    EXPECT_EQ(XWindowOf(hwnd), xwindow) << "other clients keep finding the same window";
    EXPECT_TRUE(m_server.IsShown(xwindow));
    ASSERT_TRUE(GetWindowRect(hwnd, &after));
    EXPECT_EQ(after.left, before.left);
    EXPECT_EQ(after.top, before.top);
    EXPECT_EQ(after.right, before.right);
    EXPECT_EQ(after.bottom, before.bottom);

    // The surface: one child with the format's visual, covering the client area.
    auto surfaceSize = [&](int& width, int& height) {
        Window root = 0, parent = 0, *children = nullptr;
        unsigned count = 0;
        XQueryTree(display, xwindow, &root, &parent, &children, &count);
        EXPECT_EQ(count, 1u);
        Window surface = count ? children[0] : 0;
        if (children) {
            XFree(children);
        }
        XWindowAttributes attributes{};
        XGetWindowAttributes(display, surface, &attributes);
        EXPECT_EQ(XVisualIDFromVisual(attributes.visual),
                  XVisualIDFromVisual(formats[static_cast<size_t>(format - 1)].visual));
        EXPECT_EQ(attributes.map_state, IsViewable);
        width = attributes.width;
        height = attributes.height;
    };
    int width = 0, height = 0;
    GetClientRect(hwnd, &client);
    surfaceSize(width, height);
    EXPECT_EQ(width, client.right);
    EXPECT_EQ(height, client.bottom);

    ASSERT_TRUE(MoveWindow(hwnd, 50, 50, 500, 400, TRUE));
    GetClientRect(hwnd, &client);
    surfaceSize(width, height);
    EXPECT_EQ(width, client.right);
    EXPECT_EQ(height, client.bottom);

    // Resized by someone else (as the manager does when the user drags the frame): the surface
    // follows once the message loop has seen the change.
    XResizeWindow(display, xwindow, 300, 200);
    XSync(display, False);
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    MSG msg{};
    do {
        XSync(Platform::X11ConnectionIfOpen(), False);
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            DispatchMessageW(&msg);
        }
        surfaceSize(width, height);
    } while ((width != 300 || height != 200) && std::chrono::steady_clock::now() < deadline);
    EXPECT_EQ(width, 300);
    EXPECT_EQ(height, 200);
    DestroyWindow(hwnd);
}
