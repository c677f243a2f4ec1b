// The application's main window: ties a Win32Window to the command queue, to the translator
// that turns its mouse messages into commands, and to the listener told of its destruction.
#pragma once

#include <string>
#include <vector>

#include <boost/noncopyable.hpp>

#include "common/Exception.h"
#include "framework/IWindowListener.h"
#include "framework/Win32Window.h"
#include "platform/Windows.h"

namespace RealTimeApp {

template <class Command, class EventCommandTranslator>
class MainWindow : boost::noncopyable {
public:
    typedef std::vector<Command> CommandQueue;

    // Creates the window, stores this object in its user-data slot and shows it.
    MainWindow(float width, float height, const std::wstring& caption, CommandQueue& commands,
               IWindowListener& listener)
        : m_width(width)
        , m_height(height)
        , m_commands(&commands)
        , m_listener(&listener)
        , m_window(caption, static_cast<unsigned>(width), static_cast<unsigned>(height),
                   &MainWindow::WindowProc)
        , m_translator()
    {
        SetLastError(0);
        if (SetWindowLongPtrW(m_window.hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this)) == 0
            && GetLastError() != 0) {
            throw Common::Exception(std::wstring());
        }
        ShowWindow(m_window.hwnd, SW_SHOW);
        UpdateWindow(m_window.hwnd);
    }

    // Clears the window's user-data slot first: the window itself goes after the translator, and
    // its WM_DESTROY must not reach this half-destroyed object or tell a listener that is being
    // torn down, nor post a quit message for a loop that has already ended.
    ~MainWindow() { SetWindowLongPtrW(m_window.hwnd, GWLP_USERDATA, 0); }

    HWND Handle() const { return m_window.hwnd; }
    HDC DeviceContext() const { return m_window.hdc; }

private:
    // Routes every message of the window: mouse messages to the translator, WM_DESTROY to the
    // listener (and the quit message), everything else to the default procedure.
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
    {
        MainWindow* window = reinterpret_cast<MainWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        if (window == nullptr) {
            return DefWindowProcW(hwnd, message, wParam, lParam);
        }
        window->m_translator.Translate(message, wParam, lParam, window->m_width, window->m_height,
                                       *window->m_commands);
        if (message == WM_DESTROY) {
            window->m_listener->OnWindowDestroyed();
            PostQuitMessage(0);
            return 0;
        }
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }

    float m_width;
    float m_height;
    CommandQueue* m_commands;
    IWindowListener* m_listener;
    Win32Window m_window;
    EventCommandTranslator m_translator;
};

}  // namespace RealTimeApp
