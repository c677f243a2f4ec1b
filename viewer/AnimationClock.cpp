// Running, stopping, stepping and restarting the animation clock.
#include "AnimationClock.h"

#include <algorithm>

namespace Morvane {

void AnimationClock::Advance(float frameSeconds)
{
    if (!m_running) {
        return;
    }
    m_time += frameSeconds;
    // The first frame is frame 0; every later one counts on.
    if (m_started) {
        ++m_frame;
    }
    m_started = true;
    if (frameSeconds > 0.0f) {
        m_frameSeconds = frameSeconds;
    }
}

void AnimationClock::StartOrStop()
{
    m_running = !m_running;
}

void AnimationClock::Step(int frames)
{
    if (m_running) {
        return;
    }
    m_time = std::max(0.0f, m_time + static_cast<float>(frames) * kStepSeconds);
    m_frame = std::max<int32_t>(0, m_frame + frames);
}

void AnimationClock::Restart()
{
    m_time = 0.0f;
    m_frame = 0;
    m_started = false;
}

void AnimationClock::StandAt(float time, int32_t frame, float frameSeconds)
{
    m_running = false;
    m_started = true;
    m_time = time;
    m_frame = frame;
    m_frameSeconds = frameSeconds;
}

}  // namespace Morvane
