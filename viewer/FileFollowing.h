// Following the pixel shader's file while the viewer runs: the watch on it (through the platform
// layer), the reading of it once it has been quiet, and the decision of what that reading means
// for the editor, with the standing notice that goes with it.
#pragma once

#include <memory>
#include <string>

#include "platform/FileWatch.h"
#include "viewer/DiskChanges.h"

namespace Morvane {

class FileFollowing {
public:
    // Starts watching the file at `path`, whose text as just read is `fileText`. A watch that
    // cannot be started is said in the standing notice; the viewer goes on without it.
    FileFollowing(const std::wstring& path, const std::string& fileText);
    ~FileFollowing();
    FileFollowing(const FileFollowing&) = delete;
    FileFollowing& operator=(const FileFollowing&) = delete;

    // The viewer read `fileText` from the file (Reload) or wrote it there (Save). Returns whether
    // a standing notice ended.
    bool Known(const std::string& fileText) { return m_changes.Known(fileText); }

    // Once per frame, with the editor's text: takes the watch's news and, once the file has been
    // quiet, reads it and says what that means.
    DiskVerdict Follow(float deltaSeconds, const std::string& editorText);

    // What the log box must go on saying: that changes are not followed, or what the file's last
    // change left for the user to settle; empty when there is nothing.
    std::wstring StandingNotice() const;

private:
    DiskReading Read() const;

    std::wstring m_path;
    std::unique_ptr<Platform::FileWatch> m_watch;
    std::wstring m_watchFailure;
    DiskChanges m_changes;
};

}  // namespace Morvane
