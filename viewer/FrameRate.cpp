// Counting frames over whole seconds of the performance counter, and reading the local date.
#include "viewer/FrameRate.h"

#include <chrono>
#include <ctime>

#include "platform/Windows.h"

namespace Morvane {

float FrameRate::Tick()
{
    LARGE_INTEGER now = {};
    QueryPerformanceCounter(&now);
    if (!m_started) {
        LARGE_INTEGER frequency = {};
        QueryPerformanceFrequency(&frequency);
        m_secondsPerCount = frequency.QuadPart > 0 ? 1.0 / static_cast<double>(frequency.QuadPart) : 0.0;
        m_windowStart = now.QuadPart;
        m_started = true;
        return m_rate;
    }
    ++m_windowFrames;
    const double counted = static_cast<double>(now.QuadPart - m_windowStart) * m_secondsPerCount;
    if (counted >= 1.0) {
        m_rate = static_cast<float>(m_windowFrames / counted);
        m_windowStart = now.QuadPart;
        m_windowFrames = 0;
        m_windowDone = true;
    } else if (!m_windowDone && counted > 0.0) {
        m_rate = static_cast<float>(m_windowFrames / counted);
    }
    return m_rate;
}

void LocalDate(float (&date)[4])
{
    const std::chrono::system_clock::time_point now = std::chrono::system_clock::now();
    const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
    const std::tm* local = std::localtime(&seconds);
    if (!local) {
        date[0] = date[1] = date[2] = date[3] = 0.0f;
        return;
    }
    const double fraction =
        std::chrono::duration<double>(now - std::chrono::system_clock::from_time_t(seconds)).count();
    date[0] = static_cast<float>(local->tm_year + 1900);
    date[1] = static_cast<float>(local->tm_mon);
    date[2] = static_cast<float>(local->tm_mday);
    date[3] = static_cast<float>(local->tm_hour * 3600 + local->tm_min * 60 + local->tm_sec + fraction);
}

}  // namespace Morvane
