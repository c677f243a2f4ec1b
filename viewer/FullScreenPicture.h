// The picture on the whole monitor (F11): the main window made to fill the monitor it is on and
// the picture drawn at the monitor's size, with the window's vertical field of view; back in the
// window, the picture is the specified 800 x 600 one again, drawn with the viewport it had.
#pragma once

#include <GL/glew.h>

#include <cstdint>
#include <string>

#include "framework/Camera.h"
#include "platform/Windows.h"

namespace Morvane {

class FullScreenPicture {
public:
    // For the window the picture is drawn in, whose picture is `width` x `height` in it.
    FullScreenPicture(HWND window, uint64_t width, uint64_t height);

    // Once per frame, the GL context current: fills the monitor or goes back to the window as
    // `wanted` says. Returns false with `failure` in one sentence when that could not be done: a
    // window that could not fill its monitor stays the window; one that could not be given back
    // its frame is drawn as the window all the same.
    bool Follow(bool wanted, std::wstring& failure);

    // Whether the window fills its monitor.
    bool Active() const { return m_active; }
    // The size the picture is drawn at: the monitor's while full screen, else the window's.
    uint64_t Width() const { return m_active ? m_monitorWidth : m_windowWidth; }
    uint64_t Height() const { return m_active ? m_monitorHeight : m_windowHeight; }

    // The camera the picture is drawn with: `camera` itself in the window; on the monitor with a
    // projection of the same vertical field of view for the monitor's shape, so wider screens show
    // more to the sides.
    RealTimeApp::Camera Camera(const RealTimeApp::Camera& camera) const;

private:
    HWND m_window;
    uint64_t m_windowWidth;
    uint64_t m_windowHeight;
    uint64_t m_monitorWidth = 0;
    uint64_t m_monitorHeight = 0;
    bool m_active = false;
    // The viewport of the window, put back when it is the window again.
    GLint m_windowViewport[4] = {0, 0, 0, 0};
};

}  // namespace Morvane
