// Claims on names held through flock() on a lock file: the kernel releases the lock when the last
// descriptor closes, so a process that dies releases it. The lock file is removed when the claim
// ends; a claim checks, once locked, that the name still leads to the file it locked, so that a
// lock file removed in between is never held by two processes.
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "FileClaims.h"
#include "Windows.h"
#include "linux/PosixInternal.h"

namespace Platform {

std::unique_ptr<FileClaim> FileClaim::Take(const std::wstring& path)
{
    const std::string native = NativePath(path);
    // A lock file its holder removed as this one locked it is tried again, a few times.
    for (int attempt = 0; attempt < 10; ++attempt) {
        const int fd = open(native.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
        if (fd < 0) {
            SetLastErrorFromErrno(errno, L"The lock file could not be made (\"" + path + L"\").");
            return nullptr;
        }
        if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
            const int cause = errno;
            close(fd);
            if (cause == EWOULDBLOCK) {
                SetLastErrorWithNote(ERROR_LOCK_VIOLATION, L"Another program holds the lock file (\"" + path + L"\").");
            } else {
                SetLastErrorFromErrno(cause, L"The lock file could not be locked (\"" + path + L"\").");
            }
            return nullptr;
        }
        struct stat locked {}, named {};
        if (fstat(fd, &locked) == 0 && stat(native.c_str(), &named) == 0 && locked.st_dev == named.st_dev &&
            locked.st_ino == named.st_ino) {
            return std::unique_ptr<FileClaim>(new FileClaim(fd, path));
        }
        close(fd);
    }
    SetLastErrorWithNote(ERROR_LOCK_VIOLATION, L"The lock file keeps changing (\"" + path + L"\").");
    return nullptr;
}

FileClaim::FileClaim(std::intptr_t handle, const std::wstring& path)
    : m_handle(handle)
    , m_path(path)
{
}

FileClaim::~FileClaim()
{
    // Removed while still locked, so that no other process can hold this file by its name.
    unlink(NativePath(m_path).c_str());
    close(static_cast<int>(m_handle));
}

}  // namespace Platform
