// The editor's unsaved text kept on disk beside the shader file (as "<name>.unsaved"), so that
// a crash or a hang of the viewer loses no edits: written whenever the editor's text differs
// from the file's, removed when it is the same again. A copy left by an earlier run is reported
// at start and never overwritten: it is moved aside before this run keeps a text of its own.
// One viewer at a time owns a copy, through a claim the system releases when the viewer ends
// however it ends; a viewer opened on a scene that another one is editing keeps its edits in a
// copy of its own ("<name>.unsaved-2", and so on) and says so. Saves of the file or the copy
// that a kill cut short leave temporary files, which are removed at start.
#pragma once

#include <memory>
#include <string>

#include "platform/FileClaims.h"

namespace Morvane {

class UnsavedEdits {
public:
    // `shaderPath` names the shader file, `fileText` is its text as just read. Claims the first
    // copy no other viewer owns, and looks there for a copy left by an earlier run.
    UnsavedEdits(const std::wstring& shaderPath, const std::string& fileText);
    ~UnsavedEdits();
    UnsavedEdits(const UnsavedEdits&) = delete;
    UnsavedEdits& operator=(const UnsavedEdits&) = delete;

    // What the log box must go on saying above every compile result: that another viewer owns
    // the usual copy and where this one keeps its edits instead, where an earlier run's
    // unsaved edits are (until this run's first edit moves them aside, and from then until the
    // next Save or Reload), and that this run's edits are not being kept and why (until they
    // are again, or need not be); empty when there is nothing to say.
    std::wstring StandingNotice() const;

    // The shader file now holds `fileText` (it was reloaded or saved). An earlier run's copy
    // that holds the same text has been taken back and is removed; the notices that one was
    // moved aside, or that other viewers left copies, have been seen and end.
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
    // Claims the first copy that no other viewer owns and sets m_keptPath to it.
    void ClaimCopy();
    // Looks for the copies of other viewers that ended without saving (no viewer owns them and
    // they differ from the file), and sets m_otherCopiesNotice to name them.
    void FindOtherViewersCopies();

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
    // This viewer's ownership of the copy at m_keptPath; null where none could be had.
    std::unique_ptr<Platform::FileClaim> m_claim;
    // Set where another viewer owns the usual copy: what the log box must go on saying.
    std::wstring m_sharedNotice;
    // Names the copies other viewers left, until the next Save or Reload; empty when none.
    std::wstring m_otherCopiesNotice;
};

}  // namespace Morvane
