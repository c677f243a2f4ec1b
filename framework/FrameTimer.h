// The main loop's frame timer: seconds between ticks, read from the performance counter.
#pragma once

#include <cstdint>

namespace RealTimeApp {

class FrameTimer {
public:
    // Reads the counter's frequency and the first count. Throws Common::Exception when either
    // cannot be read.
    FrameTimer();

    // Seconds since the previous tick (or since construction, for the first tick).
    float Tick();

private:
    float m_secondsPerCount;
    int64_t m_lastCount;
};

}  // namespace RealTimeApp
