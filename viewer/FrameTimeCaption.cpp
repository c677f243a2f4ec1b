// Timing frames while the readout is shown and writing it into the caption.
#include "viewer/FrameTimeCaption.h"

#include "common/Exception.h"

namespace Morvane {

FrameTimeCaption::FrameTimeCaption(HWND window, OpenglDriver::OpenglDriver& driver)
    : m_window(window)
    , m_driver(driver)
    , m_secondsPerCount(0.0)
{
    const int length = GetWindowTextLengthW(window);
    if (length > 0) {
        std::wstring caption(static_cast<size_t>(length) + 1, L'\0');
        caption.resize(static_cast<size_t>(GetWindowTextW(window, &caption[0], length + 1)));
        m_caption = caption;
    }
    LARGE_INTEGER frequency = {};
    QueryPerformanceFrequency(&frequency);
    if (frequency.QuadPart > 0) {
        m_secondsPerCount = 1.0 / static_cast<double>(frequency.QuadPart);
    }
}

FrameTimeCaption::~FrameTimeCaption()
{
    m_driver.TimeFrames(nullptr);
}

double FrameTimeCaption::Now() const
{
    LARGE_INTEGER count = {};
    QueryPerformanceCounter(&count);
    return static_cast<double>(count.QuadPart) * m_secondsPerCount;
}

void FrameTimeCaption::Frame(bool shown, uint64_t width, uint64_t height)
{
    const bool started = shown && !m_readout;
    if (started) {
        Start();
    } else if (!shown && m_readout) {
        Stop();
    }
    if (!m_readout) {
        return;
    }
    // This frame begins where the one before ended: its end is counted, and the GPU's query for
    // this frame begins (the driver ends it before presenting the frame).
    const double now = Now();
    m_readout->FrameEnded(now);
    if (m_gpu) {
        double seconds = 0.0;
        while (m_gpu->TakeResult(seconds)) {
            m_readout->GpuTime(now, seconds);
        }
        m_gpu->BeginFrame();
    }
    // Shown at once (that it is measuring), then renewed twice a second.
    if (started || m_readout->Due(now)) {
        SetWindowTextW(m_window, (m_caption + L" \u2014 " + m_readout->Text(now, width, height)).c_str());
    }
}

void FrameTimeCaption::Start()
{
    if (OpenglDriver::OpenglFrameTimer::Available()) {
        try {
            m_gpu.reset(new OpenglDriver::OpenglFrameTimer());
            m_driver.TimeFrames(m_gpu.get());
        } catch (const Common::Exception&) {
            // Queries the driver names but cannot make: the time between frames serves instead.
            m_gpu.reset();
        }
    }
    m_readout.reset(new FrameTimeReadout(m_gpu ? FrameTimeReadout::Measure::Gpu
                                               : FrameTimeReadout::Measure::BetweenFrames));
    m_readout->Restart(Now());
}

void FrameTimeCaption::Stop()
{
    m_driver.TimeFrames(nullptr);
    m_gpu.reset();
    m_readout.reset();
    SetWindowTextW(m_window, m_caption.c_str());
}

}  // namespace Morvane
