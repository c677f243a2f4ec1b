// The numbers of the frame-time readout (F1): the frames' ends and their measured times gathered
// as they come, summed up over the last second into the words the main window's caption shows
// after its own, renewed twice a second.
#pragma once

#include <cstdint>
#include <deque>
#include <string>

namespace Morvane {

class FrameTimeReadout {
public:
    // What a frame's time is: the GPU's own time for its drawing (timer queries), or the time
    // from the end of the frame before it to its own end.
    enum class Measure { Gpu, BetweenFrames };

    explicit FrameTimeReadout(Measure measure);

    Measure Measured() const { return m_measure; }

    // A frame ended at `now` (seconds of a steady clock). Between frames, the time since the end
    // before it is that frame's time.
    void FrameEnded(double now);
    // The GPU took `seconds` for a frame, known at `now` (a few frames after the frame itself).
    void GpuTime(double now, double seconds);

    // Whether the words are due for renewal at `now`: half a second after the readout was
    // started and every half second after that. Answering true starts the next half second.
    bool Due(double now);

    // "16.7 ms (60 fps), worst 21.3 ms, 800 × 600" over the last second before `now` (the frames'
    // times with GPU before them when the GPU measured them); while nothing is measured yet,
    // that it is measuring.
    std::wstring Text(double now, uint64_t width, uint64_t height);

    // Forgets every frame: the readout starts again at `now`.
    void Restart(double now);

private:
    struct Sample {
        double at;
        double seconds;
    };
    // Drops what ended more than a second before `now`, keeping the latest two frame ends and the
    // latest time, so a frame slower than a second is still told.
    void Forget(double now);

    Measure m_measure;
    std::deque<double> m_ends;
    std::deque<Sample> m_times;
    double m_nextText = 0.0;
};

}  // namespace Morvane
