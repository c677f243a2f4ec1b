// A claim that one process at a time holds on a name in a folder, through a lock file there that
// the system releases when the process ends however it ends (a crash or a kill included): the
// viewers open on one scene agree through it which of them owns which copy of unsaved edits.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace Platform {

class FileClaim {
public:
    // Claims the lock file at `path`, making it (empty) when it is missing. Null when another
    // process holds it, with the last error ERROR_LOCK_VIOLATION, or when it cannot be made or
    // locked, with the last error set to the cause.
    static std::unique_ptr<FileClaim> Take(const std::wstring& path);

    // Releases the claim and removes the lock file.
    ~FileClaim();
    FileClaim(const FileClaim&) = delete;
    FileClaim& operator=(const FileClaim&) = delete;

private:
    FileClaim(std::intptr_t handle, const std::wstring& path);

    // The open lock file: a file descriptor, or a Windows file handle.
    std::intptr_t m_handle;
    std::wstring m_path;
};

}  // namespace Platform
