// Following a file on Windows: a change notification (FindFirstChangeNotificationW) on the
// file's folder, and on the folder of the file a symbolic link points to where that is another,
// asked each call with a zero wait. Such a notification names no file, so any change of a name,
// size or write time in those folders is news; the caller compares the file's text.
#include <string>
#include <vector>

#include "platform/FileWatch.h"
#include "platform/Windows.h"
#include "platform/win32/Win32Internal.h"

namespace Platform {
namespace {

const DWORD kChanges = FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_SIZE | FILE_NOTIFY_CHANGE_LAST_WRITE;

std::wstring FolderOf(const std::wstring& path)
{
    const size_t slash = path.find_last_of(L"\\/");
    if (slash == std::wstring::npos) {
        return L".";
    }
    return slash == 0 || path[slash - 1] == L':' ? path.substr(0, slash + 1) : path.substr(0, slash);
}

// The folder of the file the path finally names (through symbolic links), or empty when it
// cannot be found (the file is missing).
std::wstring FinalFolderOf(const std::wstring& path)
{
    HANDLE file = CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return std::wstring();
    }
    std::vector<wchar_t> final(MAX_PATH + 1);
    DWORD length = GetFinalPathNameByHandleW(file, final.data(), static_cast<DWORD>(final.size()), 0);
    if (length >= final.size()) {
        final.resize(length + 1);
        length = GetFinalPathNameByHandleW(file, final.data(), static_cast<DWORD>(final.size()), 0);
    }
    CloseHandle(file);
    if (length == 0 || length >= final.size()) {
        return std::wstring();
    }
    return FolderOf(std::wstring(final.data(), length));
}

class ChangeNotificationWatch : public FileWatch {
public:
    ChangeNotificationWatch() = default;
    ~ChangeNotificationWatch() override
    {
        for (HANDLE handle : m_handles) {
            FindCloseChangeNotification(handle);
        }
    }
    ChangeNotificationWatch(const ChangeNotificationWatch&) = delete;
    ChangeNotificationWatch& operator=(const ChangeNotificationWatch&) = delete;

    bool Add(const std::wstring& folder)
    {
        HANDLE handle = FindFirstChangeNotificationW(folder.c_str(), FALSE, kChanges);
        if (handle == INVALID_HANDLE_VALUE) {
            return false;
        }
        m_handles.push_back(handle);
        return true;
    }

    bool TakeNews() override
    {
        bool news = false;
        for (HANDLE handle : m_handles) {
            if (WaitForSingleObject(handle, 0) == WAIT_OBJECT_0) {
                news = true;
                FindNextChangeNotification(handle);
            }
        }
        return news;
    }

private:
    std::vector<HANDLE> m_handles;
};

}  // namespace

std::unique_ptr<FileWatch> WatchFile(const std::wstring& path, std::wstring& reason)
{
    std::unique_ptr<ChangeNotificationWatch> watch(new ChangeNotificationWatch());
    const std::wstring folder = FolderOf(path);
    if (!watch->Add(folder)) {
        reason = L"The folder " + folder + L" cannot be watched for changes: " + SystemText(GetLastError());
        return nullptr;
    }
    const std::wstring target = FinalFolderOf(path);
    if (!target.empty()) {
        wchar_t full[MAX_PATH];
        const DWORD length = GetFullPathNameW(folder.c_str(), MAX_PATH, full, nullptr);
        // The final path has the \\?\ prefix; the folder of a link elsewhere is watched too.
        const std::wstring own = length > 0 && length < MAX_PATH ? L"\\\\?\\" + std::wstring(full, length) : folder;
        if (_wcsicmp(own.c_str(), target.c_str()) != 0) {
            watch->Add(target);
        }
    }
    return watch;
}

}  // namespace Platform
