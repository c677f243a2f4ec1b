// Claims on names held through a lock file opened with no sharing and deleted on close: Windows
// closes the handle when the process ends however it ends, which releases the claim and removes
// the file.
#include "platform/FileClaims.h"
#include "platform/Windows.h"

namespace Platform {

std::unique_ptr<FileClaim> FileClaim::Take(const std::wstring& path)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE | DELETE, 0, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        // A lock file another process holds open, or one whose removal is under way as it ends.
        if (error == ERROR_SHARING_VIOLATION || error == ERROR_ACCESS_DENIED || error == ERROR_LOCK_VIOLATION) {
            SetLastError(ERROR_LOCK_VIOLATION);
        }
        return nullptr;
    }
    return std::unique_ptr<FileClaim>(new FileClaim(reinterpret_cast<std::intptr_t>(file), path));
}

FileClaim::FileClaim(std::intptr_t handle, const std::wstring& path)
    : m_handle(handle)
    , m_path(path)
{
}

FileClaim::~FileClaim()
{
    CloseHandle(reinterpret_cast<HANDLE>(m_handle));
}

}  // namespace Platform
