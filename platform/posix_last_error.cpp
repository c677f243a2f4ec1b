// The thread's last error, the note that may accompany it, and errno mapping.
#include <cerrno>

#include "Windows.h"
#include "linux/PosixInternal.h"

namespace {

thread_local DWORD t_lastError = 0;
thread_local std::wstring t_note;
thread_local DWORD t_noteCode = 0;

}  // namespace

DWORD WINAPI GetLastError()
{
    return t_lastError;
}

void WINAPI SetLastError(DWORD errorCode)
{
    t_lastError = errorCode;
    t_note.clear();
}

namespace Platform {

void SetLastErrorWithNote(DWORD code, const std::wstring& note)
{
    t_lastError = code;
    t_note = note;
    t_noteCode = code;
}

const std::wstring& LastErrorNote()
{
    static const std::wstring none;
    return t_note.empty() || t_noteCode != t_lastError ? none : t_note;
}

DWORD ErrnoToWin32(int error)
{
    switch (error) {
    case 0: return ERROR_SUCCESS;
    case ENOENT: return ERROR_FILE_NOT_FOUND;
    case ENOTDIR: return ERROR_PATH_NOT_FOUND;
    case EACCES:
    case EPERM: return ERROR_ACCESS_DENIED;
    case EROFS: return ERROR_WRITE_PROTECT;
    case EISDIR: return ERROR_DIRECTORY;
    case EEXIST: return ERROR_ALREADY_EXISTS;
    case ENOSPC:
    case EDQUOT: return ERROR_DISK_FULL;
    case EIO: return ERROR_IO_DEVICE;
    case ENOMEM: return ERROR_NOT_ENOUGH_MEMORY;
    case EMFILE:
    case ENFILE: return ERROR_TOO_MANY_OPEN_FILES;
    case EFBIG: return ERROR_FILE_TOO_LARGE;
    case ENAMETOOLONG: return ERROR_FILENAME_EXCED_RANGE;
    case EINVAL: return ERROR_INVALID_PARAMETER;
    case EBADF: return ERROR_INVALID_HANDLE;
    case EXDEV: return ERROR_NOT_SAME_DEVICE;
    case ENOTEMPTY: return ERROR_DIR_NOT_EMPTY;
    case EBUSY: return ERROR_BUSY;
    case ELOOP: return ERROR_INVALID_NAME;
    case EPIPE: return ERROR_BROKEN_PIPE;
    case ENOSYS:
    case EOPNOTSUPP: return ERROR_NOT_SUPPORTED;
    default: return ERROR_GEN_FAILURE;
    }
}

void SetLastErrorFromErrno(int error, const std::wstring& note)
{
    SetLastErrorWithNote(ErrnoToWin32(error), note);
}

}  // namespace Platform
