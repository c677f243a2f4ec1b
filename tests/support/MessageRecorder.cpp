// The recorded messages, the recording window class and the recording dialog procedure.
#include <gtest/gtest.h>

#include "MessageRecorder.h"

#include "LayerText.h"

namespace TestSupport {
namespace {

bool g_quitOnDestroy = false;

LRESULT CALLBACK RecordingProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    ReceivedMessages().push_back(Received{hwnd, message, wParam, lParam});
    if (message == WM_DESTROY && g_quitOnDestroy) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace

std::vector<Received>& ReceivedMessages()
{
    static std::vector<Received> received;
    return received;
}

void ClearReceived()
{
    ReceivedMessages().clear();
}

std::vector<Received> Commands()
{
    std::vector<Received> commands;
    for (const Received& received : ReceivedMessages()) {
        if (received.message == WM_COMMAND) {
            commands.push_back(received);
        }
    }
    return commands;
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

INT_PTR CALLBACK RecordingDialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    ReceivedMessages().push_back(Received{hwnd, message, wParam, lParam});
    return 0;
}

}  // namespace TestSupport
