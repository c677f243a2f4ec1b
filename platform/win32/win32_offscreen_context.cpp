// The offscreen context on Windows: a hidden window of its own class with a plain RGBA pixel
// format and a WGL context on it, drawn into through framebuffer objects only.
#include <GL/glew.h>

#include "platform/OffscreenContext.h"
#include "platform/Windows.h"
#include "platform/win32/Win32Internal.h"

namespace Platform {
namespace {

const wchar_t* const kClassName = L"MorvaneOffscreen";

std::wstring SystemError(const wchar_t* what)
{
    return std::wstring(what) + L": " + SystemText(GetLastError());
}

class WglContext : public OffscreenContext {
public:
    ~WglContext() override
    {
        wglMakeCurrent(nullptr, nullptr);
        if (m_rc) wglDeleteContext(m_rc);
        if (m_dc) ReleaseDC(m_window, m_dc);
        if (m_window) DestroyWindow(m_window);
        UnregisterClassW(kClassName, GetModuleHandleW(nullptr));
    }

    bool Create(std::wstring& reason)
    {
        WNDCLASSEXW windowClass = {};
        windowClass.cbSize = sizeof windowClass;
        windowClass.style = CS_OWNDC;
        windowClass.lpfnWndProc = DefWindowProcW;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = kClassName;
        if (!RegisterClassExW(&windowClass)) {
            reason = SystemError(L"The hidden window for drawing could not be registered");
            return false;
        }
        m_window = CreateWindowExW(0, kClassName, L"Morvane", WS_OVERLAPPEDWINDOW, 0, 0, 16, 16, nullptr, nullptr,
                                   GetModuleHandleW(nullptr), nullptr);
        m_dc = m_window ? GetDC(m_window) : nullptr;
        if (!m_dc) {
            reason = SystemError(L"The hidden window for drawing could not be created");
            return false;
        }
        PIXELFORMATDESCRIPTOR format = {};
        format.nSize = sizeof format;
        format.nVersion = 1;
        format.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
        format.iPixelType = PFD_TYPE_RGBA;
        format.cColorBits = 32;
        format.cDepthBits = 24;
        const int index = ChoosePixelFormat(m_dc, &format);
        if (index == 0 || !SetPixelFormat(m_dc, index, &format)) {
            reason = SystemError(L"No OpenGL pixel format could be set for drawing");
            return false;
        }
        m_rc = wglCreateContext(m_dc);
        if (!m_rc || !wglMakeCurrent(m_dc, m_rc)) {
            reason = SystemError(L"No OpenGL context could be made for drawing");
            return false;
        }
        const GLenum loaded = glewInit();
        if (loaded != GLEW_OK) {
            reason = L"The OpenGL functions could not be loaded (GLEW error " + std::to_wstring(loaded) + L").";
            return false;
        }
        return true;
    }

private:
    HWND m_window = nullptr;
    HDC m_dc = nullptr;
    HGLRC m_rc = nullptr;
};

}  // namespace

std::unique_ptr<OffscreenContext> CreateOffscreenContext(std::wstring& reason)
{
    std::unique_ptr<WglContext> context(new WglContext());
    if (!context->Create(reason)) {
        return nullptr;
    }
    return context;
}

}  // namespace Platform
