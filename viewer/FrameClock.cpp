// Counting frames, their length and their rate, and reading the local date.
#include "viewer/FrameClock.h"

#include <chrono>
#include <ctime>

namespace Morvane {

void FrameClock::Advance(float totalTime)
{
    if (m_advanced) {
        ++m_frame;
    }
    m_advanced = true;
    const float delta = totalTime - m_lastTime;
    if (delta > 0.0f) {
        m_timeDelta = delta;
    }
    m_lastTime = totalTime;

    ++m_windowFrames;
    const float counted = totalTime - m_windowStart;
    if (counted >= 1.0f) {
        m_frameRate = static_cast<float>(m_windowFrames) / counted;
        m_windowStart = totalTime;
        m_windowFrames = 0;
    } else if (m_windowStart == 0.0f && counted > 0.0f) {
        m_frameRate = static_cast<float>(m_windowFrames) / counted;
    }
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
