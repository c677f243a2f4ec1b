// The decision about a change of the pixel shader's file found on disk, and its quiet wait.
#include "DiskChanges.h"

#include "viewer/LogNotice.h"

namespace Morvane {
namespace {

const std::string kByteOrderMark = "\xEF\xBB\xBF";

}  // namespace

std::string AsReadBack(const std::string& text)
{
    std::string back = text.compare(0, kByteOrderMark.size(), kByteOrderMark) == 0 ? text.substr(kByteOrderMark.size())
                                                                                    : text;
    if (!back.empty() && back.back() != '\n') {
        back += '\n';
    }
    return back;
}

DiskChanges::DiskChanges(const std::string& fileText)
    : m_known(AsReadBack(fileText))
{
}

bool DiskChanges::Known(const std::string& fileText)
{
    m_known = AsReadBack(fileText);
    return Stand(Standing::None);
}

void DiskChanges::Stirred()
{
    m_quietSeconds = 0.0f;
    m_pending = true;
}

void DiskChanges::Advance(float deltaSeconds)
{
    if (m_pending) {
        m_quietSeconds += deltaSeconds;
    }
}

bool DiskChanges::ReadDue()
{
    if (!m_pending || m_quietSeconds < kQuietSeconds) {
        return false;
    }
    m_pending = false;
    return true;
}

DiskVerdict DiskChanges::Found(const DiskReading& reading, const std::string& editorText)
{
    bool changed = false;
    switch (reading.kind) {
    case DiskReading::Holds: {
        if (reading.text == m_known) {
            // What the program itself last read or wrote there (or the same text written again):
            // no change, and whatever was standing is over.
            changed = Stand(Standing::None);
            break;
        }
        const std::string editor = AsReadBack(editorText);
        if (editor == m_known || editor == reading.text) {
            return DiskVerdict::TakeFile;  // no unsaved edit is lost; Known() follows the reload
        }
        changed = Stand(Standing::ChangedUnderEdits);
        break;
    }
    case DiskReading::Missing:
        changed = Stand(Standing::Gone);
        break;
    case DiskReading::Unreadable:
        changed = Stand(Standing::Unreadable, reading.reason);
        break;
    }
    return changed ? DiskVerdict::NoticeChanged : DiskVerdict::Nothing;
}

bool DiskChanges::Stand(Standing standing, const std::wstring& reason)
{
    if (standing == m_standing && reason == m_reason) {
        return false;
    }
    m_standing = standing;
    m_reason = reason;
    return true;
}

std::wstring DiskChanges::StandingNotice(const std::wstring& path) const
{
    switch (m_standing) {
    case Standing::ChangedUnderEdits:
        return ChangedUnderEditsNotice(path);
    case Standing::Gone:
        return FileGoneNotice(path);
    case Standing::Unreadable:
        return FileUnreadableNotice(path, m_reason);
    case Standing::None:
        break;
    }
    return std::wstring();
}

}  // namespace Morvane
