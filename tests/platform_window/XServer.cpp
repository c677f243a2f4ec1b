// Test helpers: the test's own X connection, the recording window class and error texts.
// GoogleTest comes before Xlib, whose macros (None, Bool) clash with its names.
#include <gtest/gtest.h>

#include "XServer.h"

#include <X11/Xatom.h>

#include "platform/linux/X11Window.h"

namespace TestSupport {
namespace {

bool g_quitOnDestroy = false;
bool g_xErrorSeen = false;

LRESULT CALLBACK RecordingProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    ReceivedMessages().push_back(Received{hwnd, message, wParam, lParam});
    if (message == WM_DESTROY && g_quitOnDestroy) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

int NoteXError(Display*, XErrorEvent*)
{
    g_xErrorSeen = true;
    return 0;
}

}  // namespace

std::vector<Received>& ReceivedMessages()
{
    static std::vector<Received> received;
    return received;
}

RecordingClass::RecordingClass(const wchar_t* name, bool quitOnDestroy)
    : m_name(name)
{
    g_quitOnDestroy = quitOnDestroy;
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = RecordingProcedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.lpszClassName = m_name.c_str();
    EXPECT_NE(RegisterClassExW(&windowClass), 0) << LastErrorText();
}

RecordingClass::~RecordingClass()
{
    UnregisterClassW(m_name.c_str(), GetModuleHandleW(nullptr));
}

XServer::XServer()
    : m_display(XOpenDisplay(nullptr))
{
    if (!m_display) {
        ADD_FAILURE() << "the test cannot open the display";
    }
}

XServer::~XServer()
{
    if (m_display) {
        XCloseDisplay(m_display);
    }
}

std::string XServer::TextProperty(Window window, const char* property)
{
    Atom type = None;
    int format = 0;
    unsigned long count = 0, remaining = 0;
    unsigned char* data = nullptr;
    XGetWindowProperty(m_display, window, XInternAtom(m_display, property, False), 0, 1024, False,
                       AnyPropertyType, &type, &format, &count, &remaining, &data);
    std::string text = data ? std::string(reinterpret_cast<char*>(data), count) : std::string();
    if (data) {
        XFree(data);
    }
    return text;
}

void XServer::Geometry(Window window, int& x, int& y, int& width, int& height)
{
    Window root = 0, child = 0;
    unsigned w = 0, h = 0, border = 0, depth = 0;
    XGetGeometry(m_display, window, &root, &x, &y, &w, &h, &border, &depth);
    XTranslateCoordinates(m_display, window, root, 0, 0, &x, &y, &child);
    width = static_cast<int>(w);
    height = static_cast<int>(h);
}

bool XServer::Exists(Window window)
{
    auto previous = XSetErrorHandler(NoteXError);
    g_xErrorSeen = false;
    XWindowAttributes attributes{};
    XGetWindowAttributes(m_display, window, &attributes);
    XSync(m_display, False);
    XSetErrorHandler(previous);
    return !g_xErrorSeen;
}

bool XServer::IsShown(Window window)
{
    XWindowAttributes attributes{};
    XGetWindowAttributes(m_display, window, &attributes);
    return attributes.map_state == IsViewable;
}

std::vector<unsigned long> XServer::Items(Window window, const char* property, Atom type)
{
    Atom actualType = None;
    int format = 0;
    unsigned long count = 0, remaining = 0;
    unsigned char* data = nullptr;
    XGetWindowProperty(m_display, window, XInternAtom(m_display, property, False), 0, 1024, False,
                       type, &actualType, &format, &count, &remaining, &data);
    std::vector<unsigned long> items;
    if (data && actualType == type && format == 32) {
        // Xlib hands 32-bit items over as longs.
        const unsigned long* values = reinterpret_cast<const unsigned long*>(data);
        items.assign(values, values + count);
    }
    if (data) {
        XFree(data);
    }
    return items;
}

bool XServer::WindowManagerRunning()
{
    return m_display &&
           Items(DefaultRootWindow(m_display), "_NET_SUPPORTING_WM_CHECK", XA_WINDOW).size() == 1;
}

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

Window XWindowOf(HWND hwnd)
{
    Platform::X11Window* window = Platform::FindX11Window(hwnd);
    return window ? window->XWindow() : 0;
}

}  // namespace TestSupport
