// The frame counts and times that texts in Shadertoy's form read: the frame's number, the last
// frame's length, frames per second over the last second, and the local date and time of day.
#pragma once

#include <cstdint>

namespace Morvane {

class FrameClock {
public:
    // Once per frame, before it is drawn, with the animation time (totalTime) at that frame.
    void Advance(float totalTime);

    // Frames drawn before this one: 0 in the first frame.
    int32_t Frame() const { return m_frame; }
    // The last frame's length in seconds; never 0 (1/60 until a frame has taken any time).
    float TimeDelta() const { return m_timeDelta; }
    // Frames per second over the last whole second (over the time so far, in the first second).
    float FrameRate() const { return m_frameRate; }

private:
    int32_t m_frame = 0;
    bool m_advanced = false;  // whether a frame came before the current one
    float m_lastTime = 0.0f;
    float m_timeDelta = 1.0f / 60.0f;
    float m_frameRate = 60.0f;
    float m_windowStart = 0.0f;  // when the second being counted began
    int32_t m_windowFrames = 0;  // frames counted in it
};

// The local date now, as iDate gives it: year, month from 0, day of the month from 1, and
// seconds since local midnight (with their fraction).
void LocalDate(float (&date)[4]);

}  // namespace Morvane
