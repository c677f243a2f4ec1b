// What the user asked of the main window with F1, F11 and Escape, which the logic takes from the
// keys and the renderer carries out: the frame-time readout in the caption, and the picture
// filling the window's monitor. Both are off at start.
#pragma once

namespace Morvane {

class WindowRequests {
public:
    // F1 shows the readout, or puts it away.
    void ToggleFrameTimes() { m_frameTimes = !m_frameTimes; }
    // F11 fills the monitor, or goes back to the window; Escape goes back.
    void ToggleFullScreen() { m_fullScreen = !m_fullScreen; }
    void LeaveFullScreen() { m_fullScreen = false; }

    bool FrameTimesShown() const { return m_frameTimes; }
    bool FullScreen() const { return m_fullScreen; }

private:
    bool m_frameTimes = false;
    bool m_fullScreen = false;
};

}  // namespace Morvane
