// Keeping the editor's unsaved text beside the shader file: claiming a copy no other viewer
// owns, finding and moving aside the copy an earlier run left there, naming those other viewers
// left, and removing what saves cut short by a kill left behind.
#include "UnsavedEdits.h"

#include <vector>

#include "common/Exception.h"
#include "common/TextFile.h"
#include "platform/TextFiles.h"
#include "platform/Windows.h"
#include "viewer/LogNotice.h"

namespace Morvane {
namespace {

const wchar_t* const kKeptSuffix = L".unsaved";
// How many earlier copies may pile up beside the shader file before moving aside gives up.
const int kMostEarlierCopies = 1000;
// How many viewers open on one scene each get a copy of their own.
const int kMostViewers = 100;

bool IsNotFound(DWORD error)
{
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

// Removes the file at `path`; one that is already gone counts as removed.
bool RemoveFile(const std::wstring& path)
{
    return DeleteFileW(path.c_str()) || IsNotFound(GetLastError());
}

// The lock file through which a viewer owns the copy at `keptPath`: hidden beside it.
std::wstring LockPathOf(const std::wstring& keptPath)
{
    const std::size_t slash = keptPath.find_last_of(L"\\/");
    const std::size_t name = slash == std::wstring::npos ? 0 : slash + 1;
    return keptPath.substr(0, name) + L"." + keptPath.substr(name) + L".lock";
}

}  // namespace

UnsavedEdits::UnsavedEdits(const std::wstring& shaderPath, const std::string& fileText)
    : m_shaderPath(shaderPath)
    , m_keptPath(shaderPath + kKeptSuffix)
    , m_fileText(fileText)
    , m_earlierCopy(false)
    , m_written(false)
{
    ClaimCopy();
    FindOtherViewersCopies();
    // Saves of the file, and of this viewer's copy, that a kill cut short.
    Platform::RemoveStaleSaveFiles(m_shaderPath);
    Platform::RemoveStaleSaveFiles(m_keptPath);
    if (!m_failureNotice.empty()) {
        return;  // no copy of its own: nothing to look for
    }
    std::string earlierText;
    try {
        earlierText = Common::ReadTextFile(m_keptPath);
    } catch (const Common::Exception&) {
        return;  // no copy from an earlier run
    }
    if (earlierText == m_fileText) {
        // It holds nothing the file does not: this run may simply replace it.
        return;
    }
    m_earlierCopy = true;
}

UnsavedEdits::~UnsavedEdits() = default;

void UnsavedEdits::ClaimCopy()
{
    for (int viewer = 1; viewer <= kMostViewers; ++viewer) {
        const std::wstring kept = viewer == 1 ? m_keptPath : m_keptPath + L"-" + std::to_wstring(viewer);
        m_claim = Platform::FileClaim::Take(LockPathOf(kept));
        if (m_claim) {
            if (viewer > 1) {
                m_sharedNotice = OtherViewerNotice(m_keptPath, kept);
            }
            m_keptPath = kept;
            return;
        }
        if (GetLastError() != ERROR_LOCK_VIOLATION) {
            // No lock file can be made here (a folder we may not write to, a file system without
            // locks): the usual copy is used as it always was, and any trouble writing it is
            // reported when it is written.
            return;
        }
    }
    m_failureNotice = EditsNotKeptNotice(m_keptPath, L"Too many other viewers are open on this scene.");
}

void UnsavedEdits::FindOtherViewersCopies()
{
    const std::wstring usual = m_shaderPath + kKeptSuffix;
    std::vector<std::wstring> copies;
    for (int viewer = 2; viewer <= kMostViewers; ++viewer) {
        const std::wstring copy = usual + L"-" + std::to_wstring(viewer);
        if (copy == m_keptPath) {
            continue;
        }
        try {
            if (Common::ReadTextFile(copy) == m_fileText) {
                continue;
            }
        } catch (const Common::Exception&) {
            continue;  // none there
        }
        // A copy whose viewer still runs is that viewer's to report.
        if (!Platform::FileClaim::Take(LockPathOf(copy)) && GetLastError() == ERROR_LOCK_VIOLATION) {
            continue;
        }
        copies.push_back(copy);
    }
    if (!copies.empty()) {
        m_otherCopiesNotice = OtherViewersEditsNotice(copies);
    }
}

std::wstring UnsavedEdits::StandingNotice() const
{
    std::wstring notice;
    if (m_earlierCopy) {
        notice = EarlierEditsNotice(m_keptPath, m_shaderPath);
    } else if (!m_movedAsidePath.empty()) {
        notice = EarlierEditsMovedNotice(m_movedAsidePath, m_keptPath);
    }
    return BelowNotice(BelowNotice(BelowNotice(m_sharedNotice, notice), m_otherCopiesNotice), m_failureNotice);
}

void UnsavedEdits::FileChanged(const std::string& fileText)
{
    m_fileText = fileText;
    m_movedAsidePath.clear();
    m_otherCopiesNotice.clear();
    if (!m_earlierCopy) {
        return;
    }
    try {
        if (Common::ReadTextFile(m_keptPath) == m_fileText && RemoveFile(m_keptPath)) {
            m_earlierCopy = false;
        }
    } catch (const Common::Exception&) {
        m_earlierCopy = false;  // it is gone
    }
}

void UnsavedEdits::Keep(const std::string& editorText)
{
    if (editorText == m_fileText) {
        if (m_written && RemoveFile(m_keptPath)) {
            m_written = false;
        }
        m_failureNotice.clear();  // nothing needs keeping
        return;
    }
    if (m_earlierCopy && !MoveEarlierCopyAside()) {
        m_failureNotice = EarlierEditsNotMovedNotice(m_keptPath, Common::CaptureSystemError().text);
        return;  // never written over
    }
    try {
        Common::WriteTextFile(m_keptPath, editorText, Platform::Durability::SurvivesProgramCrash);
        m_written = true;
        m_failureNotice.clear();
    } catch (const Common::Exception& e) {
        m_failureNotice = EditsNotKeptNotice(m_keptPath, e.Detail().text);
    }
}

bool UnsavedEdits::MoveEarlierCopyAside()
{
    for (int number = 1; number <= kMostEarlierCopies; ++number) {
        const std::wstring aside = m_keptPath + L"." + std::to_wstring(number);
        if (MoveFileW(m_keptPath.c_str(), aside.c_str())) {
            m_earlierCopy = false;
            m_movedAsidePath = aside;
            return true;
        }
        const DWORD error = GetLastError();
        if (IsNotFound(error)) {
            // The copy is gone (the user took it back and removed it): there is nothing to keep
            // from being written over.
            m_earlierCopy = false;
            return true;
        }
        if (error != ERROR_ALREADY_EXISTS && error != ERROR_FILE_EXISTS) {
            return false;
        }
    }
    return false;
}

}  // namespace Morvane
