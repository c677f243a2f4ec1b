// Text-mode files on POSIX: Windows paths mapped to UTF-8 with forward slashes, files read whole
// (a read error is a failure, never a shorter text) with CR LF folded to LF, LF written as CR LF,
// and saves that go through a flushed temporary file renamed over the target so that a failure
// never destroys the old file; where a rename cannot be used (the folder refuses the temporary
// file or the rename, or the file has other hard links) the file is rewritten in place and its
// old text written back if that fails. Also deleting and moving (renaming) files, making
// folders, and asking whether a path names a file or a folder.
#include <algorithm>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "TextFiles.h"
#include "TextModeBytes.h"
#include "Windows.h"
#include "linux/PosixInternal.h"

namespace {

std::wstring Quoted(const std::wstring& path)
{
    return L"(\"" + path + L"\")";
}

std::string DirectoryOf(const std::string& path)
{
    size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string BaseNameOf(const std::string& path)
{
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The start of the names of the temporary files that saves of the file named `base` make:
// ".<base>.saving-", then the saving process's id, a hyphen and six random characters.
std::string SavePrefix(const std::string& base)
{
    return "." + base + ".saving-";
}

// Follows symbolic links so that a save replaces the file a link points to, not the link.
bool ResolveLinks(std::string& path, int& error)
{
    for (int depth = 0; depth < 40; ++depth) {
        struct stat info {};
        if (lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) {
            return true;
        }
        char target[PATH_MAX];
        ssize_t length = readlink(path.c_str(), target, sizeof target - 1);
        if (length < 0) {
            error = errno;
            return false;
        }
        std::string next(target, static_cast<size_t>(length));
        path = next[0] == '/' ? next : DirectoryOf(path) + "/" + next;
    }
    error = ELOOP;
    return false;
}

// Writes all of `bytes` at `offset`; a short write is continued until one fails.
bool WriteAllAt(int fd, const std::string& bytes, off_t offset = 0)
{
    size_t written = 0;
    while (written < bytes.size()) {
        ssize_t n = pwrite(fd, bytes.data() + written, bytes.size() - written, offset + static_cast<off_t>(written));
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        written += static_cast<size_t>(n);
    }
    return true;
}

bool ReadAll(int fd, std::string& bytes)
{
    char buffer[65536];
    for (;;) {
        ssize_t n = pread(fd, buffer, sizeof buffer, static_cast<off_t>(bytes.size()));
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (n == 0) return true;
        bytes.append(buffer, static_cast<size_t>(n));
    }
}

// Makes the file hold exactly `bytes`, on disk.
bool Rewrite(int fd, const std::string& bytes)
{
    return WriteAllAt(fd, bytes) && ftruncate(fd, static_cast<off_t>(bytes.size())) == 0 && fsync(fd) == 0;
}

// Rewrites an existing file through its own inode, so that its hard links, owner, permissions
// and extended attributes all stay. The old text is read first and written back if the new one
// cannot be written whole; only a crash of the machine mid-write can leave a mixture. A file we
// may write but not read is rewritten without that safety net, as any plain save would.
bool RewriteInPlace(const std::string& target, const std::string& bytes, const std::wstring& path, bool* partial)
{
    bool canRestore = true;
    int fd = open(target.c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0 && errno == EACCES) {
        canRestore = false;
        fd = open(target.c_str(), O_WRONLY | O_CLOEXEC);
    }
    if (fd < 0) {
        Platform::SetLastErrorFromErrno(errno, L"The file could not be opened for writing " + Quoted(path) + L".");
        return false;
    }
    std::string old;
    if (canRestore && !ReadAll(fd, old)) {
        int cause = errno;
        close(fd);
        Platform::SetLastErrorFromErrno(cause, L"The file could not be read before rewriting it " + Quoted(path) + L".");
        return false;
    }
    if (!Rewrite(fd, bytes)) {
        int cause = errno;
        bool restored = canRestore && Rewrite(fd, old);
        close(fd);
        if (!restored && partial) {
            *partial = true;
        }
        const wchar_t* what = restored ? L"The text could not be written; the old text was put back"
                                       : L"The text could not be written, and the old text could not be put back";
        Platform::SetLastErrorFromErrno(cause, std::wstring(what) + L" " + Quoted(path) + L".");
        return false;
    }
    if (close(fd) != 0) {
        Platform::SetLastErrorFromErrno(errno, L"The text could not be written " + Quoted(path) + L".");
        return false;
    }
    return true;
}

}  // namespace

namespace Platform {

std::unique_ptr<std::istream> OpenTextFileForReading(const std::wstring& path)
{
    std::string native = Platform::NativePath(path);
    int fd = open(native.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        SetLastErrorFromErrno(errno, L"The file could not be opened for reading " + Quoted(path) + L".");
        return nullptr;
    }
    struct stat info {};
    if (fstat(fd, &info) == 0 && S_ISDIR(info.st_mode)) {
        close(fd);
        SetLastErrorWithNote(ERROR_ACCESS_DENIED, L"The path names a folder, not a file " + Quoted(path) + L".");
        return nullptr;
    }
    std::string raw;
    char buffer[65536];
    for (;;) {
        ssize_t n = read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            // What was read is only part of the file: a save of it would cut the file short.
            int cause = errno;
            close(fd);
            SetLastErrorFromErrno(cause, L"The file could not be read to its end " + Quoted(path) + L".");
            return nullptr;
        }
        if (n == 0) break;
        raw.append(buffer, static_cast<size_t>(n));
    }
    close(fd);
    return std::make_unique<std::istringstream>(WithoutCrBeforeLf(raw));
}

bool ReplaceTextFile(const std::wstring& path, const std::string& text, Durability durability, bool* partial)
{
    if (partial) {
        *partial = false;
    }
    std::string target = Platform::NativePath(path);
    int error = 0;
    if (!ResolveLinks(target, error)) {
        SetLastErrorFromErrno(error, L"The link could not be followed " + Quoted(path) + L".");
        return false;
    }

    // An existing target must itself be writable: the rename must not get round its permissions.
    struct stat existing {};
    bool exists = stat(target.c_str(), &existing) == 0;
    if (exists) {
        int probe = open(target.c_str(), O_WRONLY | O_CLOEXEC);
        if (probe < 0) {
            int cause = errno;
            if (cause == EISDIR) {
                SetLastErrorWithNote(ERROR_ACCESS_DENIED, L"A folder stands where the file should be " + Quoted(path) + L".");
            } else {
                SetLastErrorFromErrno(cause, L"The file may not be written " + Quoted(path) + L".");
            }
            return false;
        }
        close(probe);
    }

    const std::string bytes = WithCrLf(text);
    // A rename would give the other names of a hard-linked file the old text.
    if (exists && existing.st_nlink > 1) {
        return RewriteInPlace(target, bytes, path, partial);
    }

    std::string temporary =
        DirectoryOf(target) + "/" + SavePrefix(BaseNameOf(target)) + std::to_string(getpid()) + "-XXXXXX";
    int fd = mkostemp(&temporary[0], O_CLOEXEC);
    if (fd < 0) {
        // A folder we may not write to can still hold a file we may write.
        if (exists) {
            return RewriteInPlace(target, bytes, path, partial);
        }
        SetLastErrorFromErrno(errno, L"No temporary file could be created beside " + Quoted(path) + L".");
        return false;
    }
    auto fail = [&](int cause, const wchar_t* what) {
        if (fd >= 0) close(fd);
        unlink(temporary.c_str());
        SetLastErrorFromErrno(cause, std::wstring(what) + L" " + Quoted(path) + L".");
        return false;
    };
    if (!WriteAllAt(fd, bytes)) {
        return fail(errno, L"The text could not be written");
    }
    if (durability == Durability::SurvivesSystemCrash && fsync(fd) != 0) {
        return fail(errno, L"The text could not be flushed to disk");
    }
    if (exists) {
        fchmod(fd, existing.st_mode & 07777);
        if (fchown(fd, existing.st_uid, existing.st_gid) != 0) {
            // Only the owner's own files can be given back their owner; the text is what matters.
        }
    } else {
        // A new file gets the permissions a newly created file would get.
        mode_t mask = umask(0);
        umask(mask);
        fchmod(fd, 0666 & ~mask);
    }
    int closing = close(fd);
    fd = -1;
    if (closing != 0) {
        return fail(errno, L"The text could not be written");
    }
    if (rename(temporary.c_str(), target.c_str()) != 0) {
        int cause = errno;
        // The folder may refuse to let the file be replaced though it may be written: a sticky
        // folder where the file is another user's, or a file mounted in its own right.
        if (exists && (cause == EACCES || cause == EPERM || cause == EBUSY)) {
            unlink(temporary.c_str());
            return RewriteInPlace(target, bytes, path, partial);
        }
        return fail(cause, L"The file could not be replaced");
    }
    int directory = durability == Durability::SurvivesSystemCrash
                        ? open(DirectoryOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)
                        : -1;
    if (directory >= 0) {
        fsync(directory);
        close(directory);
    }
    return true;
}

void RemoveStaleSaveFiles(const std::wstring& path)
{
    std::string target = Platform::NativePath(path);
    int error = 0;
    if (!ResolveLinks(target, error)) {
        return;
    }
    const std::string folder = DirectoryOf(target);
    const std::string prefix = SavePrefix(BaseNameOf(target));
    DIR* directory = opendir(folder.c_str());
    if (!directory) {
        return;
    }
    while (const dirent* entry = readdir(directory)) {
        const std::string name = entry->d_name;
        if (name.compare(0, prefix.size(), prefix) != 0) {
            continue;
        }
        // The id, then "-" and mkostemp's six characters, and nothing else.
        size_t digits = prefix.size();
        while (digits < name.size() && name[digits] >= '0' && name[digits] <= '9') {
            ++digits;
        }
        if (digits == prefix.size() || digits - prefix.size() > 9 || name.size() != digits + 7 || name[digits] != '-') {
            continue;
        }
        const pid_t process = static_cast<pid_t>(std::atol(name.substr(prefix.size(), digits - prefix.size()).c_str()));
        if (process > 0 && kill(process, 0) != 0 && errno == ESRCH) {
            unlink((folder + "/" + name).c_str());
        }
    }
    closedir(directory);
}

}  // namespace Platform

BOOL WINAPI DeleteFileW(LPCWSTR path)
{
    const std::wstring wide = path ? path : L"";
    const std::string native = Platform::NativePath(wide);
    struct stat info {};
    if (lstat(native.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) {
        Platform::SetLastErrorWithNote(ERROR_ACCESS_DENIED, L"The path names a folder, not a file " + Quoted(wide) + L".");
        return FALSE;
    }
    if (unlink(native.c_str()) != 0) {
        Platform::SetLastErrorFromErrno(errno, L"The file could not be deleted " + Quoted(wide) + L".");
        return FALSE;
    }
    return TRUE;
}

namespace {

// Whether a failed link() means the file system has no hard links for this file (rather than
// that the move itself cannot be done).
bool HardLinksRefused(int error)
{
    return error == EPERM || error == EXDEV || error == ENOTSUP || error == EOPNOTSUPP || error == ENOSYS ||
           error == EMLINK || error == EACCES;
}

// Moves `from` to `to` without ever replacing a file at `to`, where the file system refuses
// renameat2's RENAME_NOREPLACE (some network and FUSE file systems, older kernels): a hard link
// under the new name, which fails if the name is taken, then the old name removed. Where hard
// links are refused too, the new name is checked to be free right before a plain rename; only
// another program making that name in between could then be replaced. Returns 0 or an errno.
int MoveWithoutReplacing(const std::string& from, const std::string& to)
{
    if (link(from.c_str(), to.c_str()) == 0) {
        if (unlink(from.c_str()) != 0) {
            const int cause = errno;
            unlink(to.c_str());  // the file stays where it was, under its one name
            return cause;
        }
        return 0;
    }
    const int linkError = errno;
    if (!HardLinksRefused(linkError)) {
        return linkError;  // EEXIST among them: the name is taken
    }
    struct stat info {};
    if (lstat(from.c_str(), &info) != 0) {
        return errno;
    }
    if (lstat(to.c_str(), &info) == 0) {
        return EEXIST;
    }
    if (errno != ENOENT) {
        return errno;
    }
    return rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
}

}  // namespace

BOOL WINAPI MoveFileW(LPCWSTR existing, LPCWSTR newName)
{
    const std::wstring from = existing ? existing : L"";
    const std::wstring to = newName ? newName : L"";
    const std::string nativeFrom = Platform::NativePath(from);
    const std::string nativeTo = Platform::NativePath(to);
    // As on Windows, an existing file of the new name is never replaced.
    int error = 0;
    if (renameat2(AT_FDCWD, nativeFrom.c_str(), AT_FDCWD, nativeTo.c_str(), RENAME_NOREPLACE) != 0) {
        error = errno;
        if (error == EINVAL || error == ENOSYS || error == ENOTSUP || error == EOPNOTSUPP) {
            error = MoveWithoutReplacing(nativeFrom, nativeTo);
        }
    }
    if (error != 0) {
        Platform::SetLastErrorFromErrno(error, L"The file could not be moved " + Quoted(from) + L" to " + Quoted(to) + L".");
        return FALSE;
    }
    return TRUE;
}

BOOL WINAPI MoveFileExW(LPCWSTR existing, LPCWSTR newName, DWORD flags)
{
    if ((flags & ~static_cast<DWORD>(MOVEFILE_REPLACE_EXISTING)) != 0) {
        Platform::SetLastErrorWithNote(ERROR_INVALID_PARAMETER, L"MoveFileExW takes MOVEFILE_REPLACE_EXISTING only.");
        return FALSE;
    }
    if (!(flags & MOVEFILE_REPLACE_EXISTING)) {
        return MoveFileW(existing, newName);
    }
    const std::wstring from = existing ? existing : L"";
    const std::wstring to = newName ? newName : L"";
    if (rename(Platform::NativePath(from).c_str(), Platform::NativePath(to).c_str()) != 0) {
        Platform::SetLastErrorFromErrno(errno, L"The file could not be moved " + Quoted(from) + L" to " + Quoted(to) + L".");
        return FALSE;
    }
    return TRUE;
}

BOOL WINAPI CreateDirectoryW(LPCWSTR path, LPSECURITY_ATTRIBUTES)
{
    const std::wstring wide = path ? path : L"";
    if (mkdir(Platform::NativePath(wide).c_str(), 0777) != 0) {
        Platform::SetLastErrorFromErrno(errno, L"The folder could not be made " + Quoted(wide) + L".");
        return FALSE;
    }
    return TRUE;
}

DWORD WINAPI GetFileAttributesW(LPCWSTR path)
{
    const std::wstring wide = path ? path : L"";
    struct stat info {};
    if (stat(Platform::NativePath(wide).c_str(), &info) != 0) {
        Platform::SetLastErrorFromErrno(errno, L"The file or folder could not be found " + Quoted(wide) + L".");
        return INVALID_FILE_ATTRIBUTES;
    }
    if (S_ISDIR(info.st_mode)) {
        return FILE_ATTRIBUTE_DIRECTORY;
    }
    return access(Platform::NativePath(wide).c_str(), W_OK) == 0 ? FILE_ATTRIBUTE_NORMAL : FILE_ATTRIBUTE_READONLY;
}
