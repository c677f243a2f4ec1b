// The editor's unsaved text kept on disk beside the shader file (as "<name>.unsaved"), so that
// a crash or a hang of the viewer loses no edits: written whenever the editor's text differs
// from the file's, removed when it is the same again. A copy left by an earlier run is reported
// at start and never overwritten: it is moved aside before this run keeps a text of its own.
#pragma once

#include <string>

namespace Morvane {

class UnsavedEdits {
public:
    // `shaderPath` names the shader file, `fileText` is its text as just read. Looks for a copy
    // left by an earlier run.
    UnsavedEdits(const std::wstring& shaderPath, const std::string& fileText);

    // What the log box must go on saying above every compile result: where an earlier run's
    // unsaved edits are (until this run's first edit moves them aside, and from then until the
    // next Save or Reload), and that this run's edits are not being kept and why (until they
    // are again, or need not be); empty when there is nothing to say.
    std::wstring StandingNotice() const;

    // The shader file now holds `fileText` (it was reloaded or saved). An earlier run's copy
    // that holds the same text has been taken back and is removed; the notice that one was
    // moved aside has been seen and ends.
    void FileChanged(const std::string& fileText);

    // The editor now holds `editorText`: keeps it on disk when it differs from the file's text,
    // and removes this run's copy when it does not.
    void Keep(const std::string& editorText);

    const std::wstring& KeptPath() const { return m_keptPath; }
    // The shader file's text as last read or saved.
    const std::string& FileText() const { return m_fileText; }
    // Whether an earlier run's unsaved text, different from the file's, lies at KeptPath().
    bool HoldsEarlierEdits() const { return m_earlierCopy; }

private:
    // Moves the earlier run's copy to the first free numbered name; false when it cannot.
    bool MoveEarlierCopyAside();

    std::wstring m_shaderPath;
    std::wstring m_keptPath;
    std::string m_fileText;
    // Where the earlier run's copy was moved aside to, while that is worth saying.
    std::wstring m_movedAsidePath;
    // An earlier run's copy, different from the file, still lies at m_keptPath.
    bool m_earlierCopy;
    // This run's copy lies at m_keptPath.
    bool m_written;
    // Why this run's edits are not being kept; empty while they are.
    std::wstring m_failureNotice;
};

}  // namespace Morvane
