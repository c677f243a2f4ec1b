// Frames per second over the last second, as texts in Shadertoy's form read them (iFrameRate),
// measured with the performance counter only while a text reads it; and the local date (iDate).
#pragma once

#include <cstdint>

namespace Morvane {

class FrameRate {
public:
    // Once per frame drawn while a text reads the rate: counts the frame and returns the frames
    // per second of the last whole second (of the time since the first tick, before one has
    // passed; 60 at the first tick).
    float Tick();

private:
    bool m_started = false;
    double m_secondsPerCount = 0.0;
    int64_t m_windowStart = 0;  // the counter when the second being counted began
    int32_t m_windowFrames = 0;
    bool m_windowDone = false;  // whether a whole second has been counted yet
    float m_rate = 60.0f;
};

// The local date now, as iDate gives it: year, month from 0, day of the month from 1, and
// seconds since local midnight (with their fraction).
void LocalDate(float (&date)[4]);

}  // namespace Morvane
