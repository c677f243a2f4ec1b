// How far a render to files has come, told on standard error: on a terminal one line rewritten in
// place (frames done of all, frames per second, time left), elsewhere only the closing summary.
#pragma once

#include <cstdint>
#include <string>

namespace Morvane {

class RenderProgress {
public:
    // A render of `frames` frames into `output` begins now.
    RenderProgress(uint64_t frames, const std::wstring& output);

    // One more frame is written.
    void FrameDone();
    // The closing line: how many frames, how long, how fast, and where they went.
    void Finish();

    // "3 s", "1 min 05 s", "2 h 03 min": a time left as a person reads it.
    static std::wstring Duration(double seconds);

private:
    double Elapsed() const;

    uint64_t m_frames;
    uint64_t m_done = 0;
    std::wstring m_output;
    bool m_terminal;
    int64_t m_start;
    double m_lastShown = -1.0;
};

// A number with one decimal, written with a point whatever the locale: "16.7".
std::wstring OneDecimal(double value);

}  // namespace Morvane
