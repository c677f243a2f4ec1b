// Watching the pixel shader's file, reading it after a change and deciding what to do.
#include "FileFollowing.h"

#include "common/Exception.h"
#include "common/TextFile.h"
#include "platform/Windows.h"
#include "viewer/LogNotice.h"

namespace Morvane {

FileFollowing::FileFollowing(const std::wstring& path, const std::string& fileText)
    : m_path(path)
    , m_changes(fileText)
{
    std::wstring reason;
    m_watch = Platform::WatchFile(path, reason);
    if (!m_watch) {
        m_watchFailure = NotFollowedNotice(path, reason);
    }
}

FileFollowing::~FileFollowing() = default;

DiskVerdict FileFollowing::Follow(float deltaSeconds, const std::string& editorText)
{
    if (!m_watch) {
        return DiskVerdict::Nothing;
    }
    m_changes.Advance(deltaSeconds);
    if (m_watch->TakeNews()) {
        m_changes.Stirred();
    }
    if (!m_changes.ReadDue()) {
        return DiskVerdict::Nothing;
    }
    return m_changes.Found(Read(), editorText);
}

DiskReading FileFollowing::Read() const
{
    DiskReading reading;
    try {
        reading.text = Common::ReadTextFile(m_path);
    } catch (const Common::Exception& e) {
        const DWORD code = e.Detail().code;
        reading.kind = code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND ? DiskReading::Missing
                                                                                     : DiskReading::Unreadable;
        reading.reason = e.Detail().text;
    }
    return reading;
}

std::wstring FileFollowing::StandingNotice() const
{
    return BelowNotice(m_watchFailure, m_changes.StandingNotice(m_path));
}

}  // namespace Morvane
