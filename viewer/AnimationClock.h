// The animation clock in the user's hands: the time and frame count the shaders see, running with
// the frames until the user stops it, stepped a frame at a time while stopped, and set back to
// the start. Running and untouched, its time is exactly the sum of the frame times.
#pragma once

#include <cstdint>

namespace Morvane {

class AnimationClock {
public:
    // How far one step moves the stopped clock.
    static constexpr float kStepSeconds = 1.0f / 60.0f;

    // A frame of `frameSeconds` went by: a running clock moves on by it and counts the frame.
    void Advance(float frameSeconds);
    // Stops a running clock, or starts a stopped one again from where it stands.
    void StartOrStop();
    // Moves a stopped clock by `frames` steps (back for a negative count), never below 0.
    void Step(int frames);
    // Back to time 0 and frame 0, running or stopped as before.
    void Restart();
    // Stands stopped at `time` and `frame`, the frames `frameSeconds` long: a frame of a render.
    void StandAt(float time, int32_t frame, float frameSeconds);

    bool Running() const { return m_running; }
    // Seconds of animation time.
    float Time() const { return m_time; }
    // Frames counted since the start: 0 in the first frame.
    int32_t Frame() const { return m_frame; }
    // The length of the latest frame the clock ran for, never 0 (a stopped clock keeps it).
    float FrameSeconds() const { return m_frameSeconds; }

private:
    bool m_running = true;
    bool m_started = false;
    float m_time = 0.0f;
    int32_t m_frame = 0;
    float m_frameSeconds = kStepSeconds;
};

}  // namespace Morvane
