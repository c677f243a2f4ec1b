// The frame timer on the performance counter, in single precision.
#include "framework/FrameTimer.h"

#include "common/Exception.h"
#include "platform/Windows.h"

namespace RealTimeApp {

FrameTimer::FrameTimer()
    : m_secondsPerCount(0.0f)
    , m_lastCount(0)
{
    LARGE_INTEGER frequency;
    if (QueryPerformanceFrequency(&frequency) != 1) {
        throw Common::Exception(
            L"QueryPerformanceFrequency Error. High Performance Counter is not available");
    }
    m_secondsPerCount = 1.0f / static_cast<float>(frequency.QuadPart);
    LARGE_INTEGER count;
    if (QueryPerformanceCounter(&count) != 1) {
        throw Common::Exception(L"QueryPerformanceCounter Error");
    }
    m_lastCount = count.QuadPart;
}

float FrameTimer::Tick()
{
    LARGE_INTEGER now;
    now.QuadPart = m_lastCount;
    QueryPerformanceCounter(&now);
    float delta = static_cast<float>(now.QuadPart - m_lastCount) * m_secondsPerCount;
    m_lastCount = now.QuadPart;
    return delta;
}

}  // namespace RealTimeApp
