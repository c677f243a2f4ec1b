// The watch over frames that never end. The main thread beats once a frame (and says whether the
// text it runs is an edit or the shader file's own); a second thread does nothing but wait for
// beats, and when one has not come for the limit (10 s, or MORVANE_STALL_SECONDS) it starts the
// program again from the shader file, with the windows' places and the cause handed on, or ends
// it with one sentence when the file itself stops the picture. All the viewer's work stays on
// the main thread; the watcher touches neither the windows nor OpenGL.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>

#include "viewer/RestartState.h"

namespace Morvane {

// How long a frame may take before the viewer counts it as stopped.
struct StallLimit {
    // Seconds; 0 means no watch at all.
    float seconds = 10.0f;
    // What the log must say about a value of MORVANE_STALL_SECONDS that could not be used; empty
    // when there is nothing to say.
    std::wstring notice;
};

// The limit from the value of MORVANE_STALL_SECONDS (null when it is not set): a number of
// seconds with an optional fraction, 0 turning the watch off.
StallLimit ParseStallLimit(const char* value);

// What the watch does about a frame that has not finished within the limit.
enum class StallAction {
    RestartForEdit,  // an edit stopped the picture: start again from the file
    RestartForFile,  // the file's own text stopped a later frame: start again from it, once
    EndFileStops     // the file itself stops the picture: end with one sentence, status 1
};

// `firstFrameFinished`: this start is past its first frames; `runsEdit`: the text running is
// the editor's rather than the file's; `restartedForFile`: this start follows a restart because
// the file's own text stopped the picture.
StallAction DecideOnStall(bool firstFrameFinished, bool runsEdit, bool restartedForFile);

// The one sentence Morvane ends with when the shader file at `shaderPath` stops the picture for
// `seconds` (`firstFrame`: before its first frame was drawn; otherwise again, right after a
// restart from it).
std::wstring FileStopsPictureSentence(const std::wstring& shaderPath, float seconds, bool firstFrame);

class RunawayWatch {
public:
    // Reads the limit and, when this start follows a restart, the state it was handed.
    RunawayWatch();
    // Stops the watcher.
    ~RunawayWatch();
    RunawayWatch(const RunawayWatch&) = delete;
    RunawayWatch& operator=(const RunawayWatch&) = delete;

    // The state handed over by the restart this start follows; null at an ordinary start.
    const RestartState* Restarted() const { return m_restarted ? &m_restartState : nullptr; }
    // What the log box says first: that this start follows a restart (why, and where the edit is
    // kept: `keptPath`, holding it when `editKept`), and about an unusable limit.
    std::wstring StartNotice(const std::wstring& shaderPath, const std::wstring& keptPath, bool editKept) const;

    // Main thread, just before the first compile: from now on every frame is watched.
    void Start(const std::wstring& shaderPath);
    // Main thread, at the start of every frame.
    void FrameStarts();
    // Main thread: the text compiled or running now comes from the editor (true) or is the
    // shader file's own (false).
    void Runs(bool edit);
    // Main thread: whether the windows' places are due to be recorded again (once a second).
    bool PlacesDue();
    void RecordPlaces(const WindowPlaces& places);
    // Main thread: no more frames are watched (the renderer is going away).
    void Stop();

private:
    void Watch();
    [[noreturn]] void ActOnStall(bool firstFrameFinished, bool runsEdit, bool placesKnown,
                                 const WindowPlaces& places);

    StallLimit m_limit;
    bool m_restarted;
    RestartState m_restartState;
    std::wstring m_shaderPath;
    int64_t m_placesRecordedAt;

    // Steady-clock nanoseconds of the latest beat, and how many frames have started.
    std::atomic<int64_t> m_lastBeat;
    std::atomic<int> m_frames;
    std::atomic<bool> m_runsEdit;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_stopping;
    bool m_placesKnown;
    WindowPlaces m_places;
    std::thread m_thread;
};

}  // namespace Morvane
