// Measuring a render's pace and putting it into words.
#include "RenderProgress.h"

#include <algorithm>
#include <cmath>

#include "platform/ConsoleText.h"
#include "platform/Windows.h"

namespace Morvane {
namespace {

int64_t Now()
{
    LARGE_INTEGER count;
    QueryPerformanceCounter(&count);
    return count.QuadPart;
}

std::wstring TwoDigits(long long value)
{
    return (value < 10 ? L"0" : L"") + std::to_wstring(value);
}

}  // namespace

std::wstring OneDecimal(double value)
{
    const long long tenths = std::llround(value * 10.0);
    return std::to_wstring(tenths / 10) + L"." + std::to_wstring(tenths % 10);
}

RenderProgress::RenderProgress(uint64_t frames, const std::wstring& output)
    : m_frames(frames)
    , m_output(output)
    , m_terminal(Platform::ErrorIsTerminal())
    , m_start(Now())
{
}

double RenderProgress::Elapsed() const
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(Now() - m_start) / static_cast<double>(frequency.QuadPart);
}

std::wstring RenderProgress::Duration(double seconds)
{
    const long long whole = std::llround(std::max(0.0, seconds));
    if (whole < 60) {
        return std::to_wstring(whole) + L" s";
    }
    if (whole < 3600) {
        return std::to_wstring(whole / 60) + L" min " + TwoDigits(whole % 60) + L" s";
    }
    return std::to_wstring(whole / 3600) + L" h " + TwoDigits(whole / 60 % 60) + L" min";
}

void RenderProgress::FrameDone()
{
    ++m_done;
    if (!m_terminal) {
        return;
    }
    const double elapsed = Elapsed();
    // A few times a second is enough to read, and the last frame is always shown.
    if (m_done < m_frames && elapsed - m_lastShown < 0.25) {
        return;
    }
    m_lastShown = elapsed;
    const double rate = elapsed > 0.0 ? static_cast<double>(m_done) / elapsed : 0.0;
    std::wstring line = L"\rFrame " + std::to_wstring(m_done) + L" of " + std::to_wstring(m_frames) + L", " +
                        OneDecimal(rate) + L" frames/s";
    if (rate > 0.0 && m_done < m_frames) {
        line += L", " + Duration(static_cast<double>(m_frames - m_done) / rate) + L" left";
    }
    Platform::PrintError(line + L"   ");
}

void RenderProgress::Finish()
{
    const double elapsed = Elapsed();
    const double rate = elapsed > 0.0 ? static_cast<double>(m_done) / elapsed : 0.0;
    const std::wstring frames = m_done == 1 ? L"1 frame" : std::to_wstring(m_done) + L" frames";
    Platform::PrintError(std::wstring(m_terminal ? L"\r" : L"") + L"Rendered " + frames + L" to " + m_output +
                         L" in " + OneDecimal(elapsed) + L" s (" + OneDecimal(rate) + L" frames/s).   \n");
}

}  // namespace Morvane
