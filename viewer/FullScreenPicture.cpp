// Entering and leaving full screen, and the drawing size and projection that follow.
#include "viewer/FullScreenPicture.h"

#include "platform/FullScreen.h"
#include "viewer/CustomScene.h"

namespace Morvane {

FullScreenPicture::FullScreenPicture(HWND window, uint64_t width, uint64_t height)
    : m_window(window)
    , m_windowWidth(width)
    , m_windowHeight(height)
{
}

bool FullScreenPicture::Follow(bool wanted, std::wstring& failure)
{
    if (wanted == m_active) {
        return true;
    }
    if (wanted) {
        MONITORINFO monitor = {};
        monitor.cbSize = sizeof(monitor);
        if (!GetMonitorInfoW(MonitorFromWindow(m_window, MONITOR_DEFAULTTONEAREST), &monitor)) {
            failure = L"Full screen could not be had: the window's monitor could not be found.";
            return false;
        }
        std::wstring reason;
        if (!Platform::SetFullScreen(m_window, true, reason)) {
            failure = L"Full screen could not be had: " + reason;
            return false;
        }
        m_monitorWidth = static_cast<uint64_t>(monitor.rcMonitor.right - monitor.rcMonitor.left);
        m_monitorHeight = static_cast<uint64_t>(monitor.rcMonitor.bottom - monitor.rcMonitor.top);
        glGetIntegerv(GL_VIEWPORT, m_windowViewport);
        glViewport(0, 0, static_cast<GLsizei>(m_monitorWidth), static_cast<GLsizei>(m_monitorHeight));
        m_active = true;
        return true;
    }
    // The picture is the window's again even when the window could not be given back its frame.
    glViewport(m_windowViewport[0], m_windowViewport[1], m_windowViewport[2], m_windowViewport[3]);
    m_active = false;
    std::wstring reason;
    if (!Platform::SetFullScreen(m_window, false, reason)) {
        failure = L"The window could not be given back its frame and place: " + reason;
        return false;
    }
    return true;
}

RealTimeApp::Camera FullScreenPicture::Camera(const RealTimeApp::Camera& camera) const
{
    if (!m_active) {
        return camera;
    }
    RealTimeApp::Camera wide = camera;
    wide.projection = PerspectiveProjection(static_cast<float>(m_monitorWidth) / static_cast<float>(m_monitorHeight));
    return wide;
}

}  // namespace Morvane
