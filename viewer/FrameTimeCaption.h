// The frame-time readout in the main window's caption (F1): while it is shown, each frame is
// timed, by the GPU's timer queries where the driver has them and else from the end of one frame
// to the end of the next, and twice a second the readout is written after the window's own
// caption. Put away, the caption is the window's own again and nothing is measured.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "opengl/OpenglFrameTimer.h"
#include "platform/Windows.h"
#include "viewer/FrameTimeReadout.h"

namespace Morvane {

class FrameTimeCaption {
public:
    // For the window whose caption it is; its caption of the moment is its own.
    explicit FrameTimeCaption(HWND window);

    // Once per frame, before the frame is drawn (the GL context current): shows or puts away the
    // readout as `shown` says, and while it is shown times the frame and renews the caption when
    // due, telling the size the picture is drawn at.
    void Frame(bool shown, uint64_t width, uint64_t height);

private:
    double Now() const;
    void Start();
    void Stop();

    HWND m_window;
    std::wstring m_caption;
    double m_secondsPerCount;
    std::unique_ptr<OpenglDriver::OpenglFrameTimer> m_gpu;
    std::unique_ptr<FrameTimeReadout> m_readout;
};

}  // namespace Morvane
