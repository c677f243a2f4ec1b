// The watcher thread over the main thread's frames, the decision it takes when one never ends,
// and the restart or the end that carries it out.
#include "RunawayWatch.h"

#include <chrono>
#include <cstdlib>
#include <string>

#include "common/Exception.h"
#include "platform/ConsoleText.h"
#include "platform/ProgramRestart.h"
#include "viewer/LogNotice.h"

namespace Morvane {
namespace {

const float kDefaultStallSeconds = 10.0f;
// The longest limit taken: about a day; a longer wait is no watch at all.
const float kLongestStallSeconds = 100000.0f;
// The frames that count as the start: the first one or two may come and go before the window is on
// the screen, drawing nothing, so a text that stops the picture from its start may stop only the
// second or third. A stop within these is the start's, and never restarts.
const int kFramesOfTheStart = 10;
// How often the main thread reads where the windows stand.
const int64_t kPlacesEveryNs = 1000000000;

int64_t NowNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

std::wstring Printable(const char* value)
{
    std::wstring text;
    for (const char* c = value; *c && text.size() < 40; ++c) {
        const unsigned char byte = static_cast<unsigned char>(*c);
        text += byte >= 0x20 && byte < 0x7F ? static_cast<wchar_t>(byte) : L'?';
    }
    return text;
}

std::wstring WithoutLineEnd(std::wstring text)
{
    while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r')) {
        text.pop_back();
    }
    return text;
}

}  // namespace

StallLimit ParseStallLimit(const char* value)
{
    StallLimit limit;
    if (!value || !*value) {
        return limit;
    }
    // Digits with at most one point among them, read by hand whatever the locale.
    double seconds = 0.0, scale = 1.0;
    bool point = false, digits = false, valid = true;
    for (const char* c = value; *c && valid; ++c) {
        if (*c == '.' && !point) {
            point = true;
        } else if (*c >= '0' && *c <= '9') {
            digits = true;
            if (point) {
                scale /= 10.0;
                seconds += (*c - '0') * scale;
            } else {
                seconds = seconds * 10.0 + (*c - '0');
            }
        } else {
            valid = false;
        }
    }
    if (!valid || !digits || seconds > kLongestStallSeconds) {
        limit.notice = StallLimitNotice(Printable(value), kDefaultStallSeconds);
        return limit;
    }
    limit.seconds = static_cast<float>(seconds);
    return limit;
}

StallAction DecideOnStall(bool firstFrameFinished, bool runsEdit, bool restartedForFile)
{
    // An edit is never run at start, so starting again from the file always leaves it behind, even
    // where it came in the first frames.
    if (runsEdit) {
        return StallAction::RestartForEdit;
    }
    if (!firstFrameFinished) {
        // The file's own text stopped the start: starting again would stop again, so no loop of
        // restarts.
        return StallAction::EndFileStops;
    }
    // The file's own text stopped a later frame: perhaps a passing hold-up of the machine, so it
    // gets one more start; a second time in a row it is the file's doing.
    return restartedForFile ? StallAction::EndFileStops : StallAction::RestartForFile;
}

std::wstring FileStopsPictureSentence(const std::wstring& shaderPath, float seconds, bool firstFrame)
{
    const std::wstring how = firstFrame ? L" stops the picture: its first frame did not finish within " +
                                              SecondsText(seconds) + L" s"
                                        : L" stopped the picture for " + SecondsText(seconds) +
                                              L" s again right after Morvane had restarted from it";
    return L"Morvane stopped: the shader file " + shaderPath + how +
           L" (a loop that never ends?), so change it in another editor or allow more time with "
           L"MORVANE_STALL_SECONDS.";
}

RunawayWatch::RunawayWatch()
    : m_limit(ParseStallLimit(std::getenv("MORVANE_STALL_SECONDS")))
    , m_restarted(false)
    , m_placesRecordedAt(0)
    , m_lastBeat(0)
    , m_frames(0)
    , m_runsEdit(false)
    , m_stopping(false)
    , m_placesKnown(false)
    , m_places()
{
    std::string name;
    for (const wchar_t* c = kRestartVariable; *c; ++c) {
        name += static_cast<char>(*c);
    }
    if (const char* handed = std::getenv(name.c_str())) {
        std::wstring text;
        for (const char* c = handed; *c; ++c) {
            text += static_cast<wchar_t>(static_cast<unsigned char>(*c));
        }
        m_restarted = ParseRestartState(text, m_restartState);
    }
}

RunawayWatch::~RunawayWatch()
{
    Stop();
}

std::wstring RunawayWatch::StartNotice(const std::wstring& shaderPath, const std::wstring& keptPath,
                                       bool editKept) const
{
    std::wstring notice;
    if (m_restarted) {
        notice = RestartedNotice(m_restartState.cause == StallCause::Edit, m_restartState.stallSeconds, shaderPath,
                                 keptPath, editKept);
    }
    return BelowNotice(notice, m_limit.notice);
}

void RunawayWatch::Start(const std::wstring& shaderPath)
{
    m_shaderPath = shaderPath;
    m_lastBeat = NowNs();
    m_frames = 0;
    if (m_limit.seconds <= 0.0f || m_thread.joinable()) {
        return;
    }
    m_stopping = false;
    m_thread = std::thread([this] { Watch(); });
}

void RunawayWatch::FrameStarts()
{
    m_lastBeat = NowNs();
    if (m_frames <= kFramesOfTheStart) {
        ++m_frames;
    }
}

void RunawayWatch::Runs(bool edit)
{
    m_runsEdit = edit;
}

bool RunawayWatch::PlacesDue()
{
    const int64_t now = NowNs();
    if (m_placesRecordedAt != 0 && now - m_placesRecordedAt < kPlacesEveryNs) {
        return false;
    }
    m_placesRecordedAt = now;
    return true;
}

void RunawayWatch::RecordPlaces(const WindowPlaces& places)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_places = places;
    m_placesKnown = true;
}

void RunawayWatch::Stop()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stopping = true;
    }
    m_wake.notify_all();
    if (m_thread.joinable()) {
        m_thread.join();
    }
}

void RunawayWatch::Watch()
{
    const int64_t limitNs = static_cast<int64_t>(static_cast<double>(m_limit.seconds) * 1e9);
    std::unique_lock<std::mutex> lock(m_mutex);
    while (!m_stopping) {
        const int64_t due = m_lastBeat.load() + limitNs;
        const int64_t now = NowNs();
        if (now >= due) {
            const WindowPlaces places = m_places;
            const bool placesKnown = m_placesKnown;
            lock.unlock();
            ActOnStall(m_frames.load() > kFramesOfTheStart, m_runsEdit.load(), placesKnown, places);
        }
        m_wake.wait_for(lock, std::chrono::nanoseconds(due - now));
    }
}

void RunawayWatch::ActOnStall(bool firstFrameFinished, bool runsEdit, bool placesKnown, const WindowPlaces& places)
{
    const StallAction action =
        DecideOnStall(firstFrameFinished, runsEdit, m_restarted && m_restartState.cause == StallCause::File);
    if (action == StallAction::EndFileStops) {
        Platform::PrintError(FileStopsPictureSentence(m_shaderPath, m_limit.seconds, !firstFrameFinished) + L"\n");
        Platform::EndThisProgramNow(1);
    }
    RestartState next;
    next.cause = action == StallAction::RestartForEdit ? StallCause::Edit : StallCause::File;
    next.stallSeconds = m_limit.seconds;
    next.placesKnown = placesKnown;
    next.places = places;
    Platform::RestartThisProgram(kRestartVariable, FormatRestartState(next));
    Platform::PrintError(L"Morvane stopped: a frame did not finish within " + SecondsText(m_limit.seconds) +
                         L" s (a loop that never ends?) and Morvane could not start itself again: " +
                         WithoutLineEnd(Common::CaptureSystemError().text) + L"\n");
    Platform::EndThisProgramNow(1);
}

}  // namespace Morvane
