// What a change of the pixel shader's file made by another program means for the editor: when the
// file is read (once it has been quiet for a moment, not at every write of a burst), and whether
// its new text replaces the editor's (only where the editor holds no unsaved edits), is only
// noticed (the editor's edits stay), or is no change at all (the file holds what the program
// itself last read or wrote there). Pure: the caller watches, reads and reloads.
#pragma once

#include <string>

namespace Morvane {

// What the file was found to hold once it had been quiet.
struct DiskReading {
    enum Kind { Holds, Missing, Unreadable };
    Kind kind = Holds;
    // The file's text as Common::ReadTextFile gives it (Holds).
    std::string text;
    // Why it could not be read, in the system's words (Unreadable).
    std::wstring reason;
};

enum class DiskVerdict {
    // Nothing for the editor or the log.
    Nothing,
    // The editor holds no unsaved edits: the file's text is taken as Reload takes it.
    TakeFile,
    // The standing notice changed: the log box shows it (or no longer shows it).
    NoticeChanged,
};

class DiskChanges {
public:
    // How long the file must be left alone before it is read: an editor's save is a burst of
    // writes (or a write and a rename) within a few milliseconds.
    static constexpr float kQuietSeconds = 0.1f;

    // `fileText` is the file's text as read at start.
    explicit DiskChanges(const std::string& fileText);

    // The program read `fileText` from the file (Reload) or wrote it there (Save): the file
    // holding it is no news, and what the standing notice said is settled. Returns whether a
    // standing notice ended.
    bool Known(const std::string& fileText);

    // Something happened to the file: it is read once it has been quiet for kQuietSeconds.
    void Stirred();
    // Adds the time of the frame now starting to the time the file has been quiet.
    void Advance(float deltaSeconds);
    // Whether the file has been quiet long enough since it last stirred and is still to be read;
    // true once for each quiet spell.
    bool ReadDue();

    // What the file's contents, read once it was quiet, mean for the editor, which holds
    // `editorText`.
    DiskVerdict Found(const DiskReading& reading, const std::string& editorText);

    // What the log box must go on saying about the file at `path` while it differs from the
    // editor in a way the user must settle; empty when there is nothing to say.
    std::wstring StandingNotice(const std::wstring& path) const;

private:
    enum class Standing { None, ChangedUnderEdits, Gone, Unreadable };

    // Sets the standing notice; true when it changed.
    bool Stand(Standing standing, const std::wstring& reason = std::wstring());

    // The file's text as the program last read or wrote it, in the form a reading gives.
    std::string m_known;
    Standing m_standing = Standing::None;
    std::wstring m_reason;
    float m_quietSeconds = 0.0f;
    bool m_pending = false;
};

// `text` as reading it back from a file it was saved to gives it: without a leading UTF-8
// byte-order mark, and with a line feed at its end where it has none.
std::string AsReadBack(const std::string& text);

}  // namespace Morvane
