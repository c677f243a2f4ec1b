// The frame-time readout in the main window's caption (F1): while it is shown, each frame is
// timed, by the GPU's timer queries where the driver has them (from the start of the frame's work
// to its present) and else from the end of one frame to the end of the next, and twice a second the readout is written after the window's own
// caption. Put away, the caption is the window's own again and nothing is measured.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "opengl/OpenglDriver.h"
#include "opengl/OpenglFrameTimer.h"
#include "platform/Windows.h"
#include "viewer/FrameTimeReadout.h"

namespace Morvane {

class FrameTimeCaption {
public:
    // For the window whose caption it is, whose frames `driver` presents; the window's caption of
    // the moment is its own.
    FrameTimeCaption(HWND window, OpenglDriver::OpenglDriver& driver);
    // Lets go of the driver's frames.
    ~FrameTimeCaption();
    FrameTimeCaption(const FrameTimeCaption&) = delete;
    FrameTimeCaption& operator=(const FrameTimeCaption&) = delete;

    // Once per frame, before the frame is drawn (the GL context current): shows or puts away the
    // readout as `shown` says, and while it is shown times the frame and renews the caption when
    // due, telling the size the picture is drawn at.
    void Frame(bool shown, uint64_t width, uint64_t height);

private:
    double Now() const;
    void Start();
    void Stop();

    HWND m_window;
    OpenglDriver::OpenglDriver& m_driver;
    std::wstring m_caption;
    double m_secondsPerCount;
    std::unique_ptr<OpenglDriver::OpenglFrameTimer> m_gpu;
    std::unique_ptr<FrameTimeReadout> m_readout;
};

}  // namespace Morvane
