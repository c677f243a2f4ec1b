// The tests' message recorder: every message that reaches a recording window procedure or
// dialog procedure, in order, for the test to inspect.
#pragma once

#include <string>
#include <vector>

#include "platform/Windows.h"

namespace TestSupport {

// One message as the window or dialog procedure saw it.
struct Received {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

// Every message delivered to a RecordingClass window or to RecordingDialogProc since the last
// ClearReceived, in order.
std::vector<Received>& ReceivedMessages();
void ClearReceived();

// The WM_COMMAND messages among them, in order.
std::vector<Received> Commands();

// Registers a class whose procedure records each message and then calls DefWindowProcW; on
// WM_DESTROY it also posts the quit message when `quitOnDestroy` is set.
class RecordingClass {
public:
    explicit RecordingClass(const wchar_t* name, bool quitOnDestroy = false);
    ~RecordingClass();
    const wchar_t* Name() const { return m_name.c_str(); }

private:
    std::wstring m_name;
};

// A dialog procedure that records each message and handles none (returns 0).
INT_PTR CALLBACK RecordingDialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace TestSupport
