// Gathering frame times over the last second and putting them into words.
#include "viewer/FrameTimeReadout.h"

#include <algorithm>
#include <cmath>

#include "viewer/RenderProgress.h"

namespace Morvane {
namespace {

const double kWindowSeconds = 1.0;
const double kRenewSeconds = 0.5;

// Frames per second as a person reads them: whole above 10, with one decimal below.
std::wstring FramesPerSecond(double fps)
{
    if (fps < 9.95) {
        return OneDecimal(fps);
    }
    return std::to_wstring(std::llround(fps));
}

std::wstring Milliseconds(double seconds)
{
    return OneDecimal(seconds * 1000.0) + L" ms";
}

}  // namespace

FrameTimeReadout::FrameTimeReadout(Measure measure)
    : m_measure(measure)
{
}

void FrameTimeReadout::FrameEnded(double now)
{
    if (m_measure == Measure::BetweenFrames && !m_ends.empty()) {
        m_times.push_back(Sample{now, now - m_ends.back()});
    }
    m_ends.push_back(now);
    Forget(now);
}

void FrameTimeReadout::GpuTime(double now, double seconds)
{
    m_times.push_back(Sample{now, seconds});
    Forget(now);
}

bool FrameTimeReadout::Due(double now)
{
    if (now < m_nextText) {
        return false;
    }
    // A frame slower than half a second must not leave renewals owed: the next is half a second
    // from now.
    m_nextText = now + kRenewSeconds;
    return true;
}

std::wstring FrameTimeReadout::Text(double now, uint64_t width, uint64_t height)
{
    Forget(now);
    const std::wstring size = std::to_wstring(width) + L" \u00D7 " + std::to_wstring(height);
    if (m_ends.size() < 2 || m_times.empty()) {
        return L"measuring the frame time, " + size;
    }
    const double span = m_ends.back() - m_ends.front();
    const double fps = span > 0.0 ? static_cast<double>(m_ends.size() - 1) / span : 0.0;
    double sum = 0.0;
    double worst = 0.0;
    for (const Sample& sample : m_times) {
        sum += sample.seconds;
        worst = std::max(worst, sample.seconds);
    }
    const double mean = sum / static_cast<double>(m_times.size());
    const std::wstring gpu = m_measure == Measure::Gpu ? L"GPU " : L"";
    return gpu + Milliseconds(mean) + L" (" + FramesPerSecond(fps) + L" fps), worst " + gpu + Milliseconds(worst) +
           L", " + size;
}

void FrameTimeReadout::Restart(double now)
{
    m_ends.clear();
    m_times.clear();
    m_nextText = now + kRenewSeconds;
}

void FrameTimeReadout::Forget(double now)
{
    const double oldest = now - kWindowSeconds;
    while (m_ends.size() > 2 && m_ends.front() < oldest) {
        m_ends.pop_front();
    }
    while (m_times.size() > 1 && m_times.front().at < oldest) {
        m_times.pop_front();
    }
}

}  // namespace Morvane
