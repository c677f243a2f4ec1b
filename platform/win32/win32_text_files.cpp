// Text-mode files on Windows: files read whole by wide path (CR LF delivered as LF, every other
// byte as it is, and a read error a failure), and saves that write CR LF into a temporary file in
// the target's folder, flush it to disk and then move it over the target, so that a failure never
// destroys the old file; where a move cannot be used (the folder refuses the temporary file or the
// move, or the file has other hard links) the file is rewritten in place and its old text written
// back if that fails.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cwctype>
#include <cstdint>
#include <istream>
#include <memory>
#include <sstream>
#include <string>

#include "platform/TextFiles.h"
#include "platform/TextModeBytes.h"
#include "platform/Windows.h"

namespace {

const DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// Ends a failed step: keeps the cause as the last error after the clean-up calls.
bool Fail(DWORD error)
{
    SetLastError(error);
    return false;
}

std::wstring FolderOf(const std::wstring& path)
{
    size_t separator = path.find_last_of(L"\\/");
    return separator == std::wstring::npos ? std::wstring() : path.substr(0, separator + 1);
}

std::wstring NameOf(const std::wstring& path)
{
    size_t separator = path.find_last_of(L"\\/");
    return separator == std::wstring::npos ? path : path.substr(separator + 1);
}

// A symbolic link (a reparse point) is replaced by the file it names, so the link stays a link.
bool ResolveLink(const std::wstring& path, std::wstring& target)
{
    target = path;
    DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) {
        return true;
    }
    HANDLE file = CreateFileW(path.c_str(), 0, kShareAll, nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    std::wstring buffer(32768, L'\0');
    DWORD length = GetFinalPathNameByHandleW(file, &buffer[0], static_cast<DWORD>(buffer.size()), FILE_NAME_NORMALIZED);
    DWORD error = GetLastError();
    CloseHandle(file);
    if (length == 0 || length >= buffer.size()) {
        return Fail(length == 0 ? error : ERROR_FILENAME_EXCED_RANGE);
    }
    buffer.resize(length);
    target = buffer;
    return true;
}

// The start of the names of the temporary files that saves of the file named `name` make:
// "<name>.saving-", then the saving process's id, a hyphen and a number.
std::wstring SavePrefix(const std::wstring& name)
{
    return name + L".saving-";
}

// Whether the process with this id has ended (or never was).
bool ProcessGone(DWORD id)
{
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, id);
    if (!process) {
        return GetLastError() == ERROR_INVALID_PARAMETER;
    }
    DWORD status = 0;
    const bool ended = GetExitCodeProcess(process, &status) && status != STILL_ACTIVE;
    CloseHandle(process);
    return ended;
}

// Creates a new, empty file beside `target` whose name no other file has.
HANDLE CreateTemporaryBeside(const std::wstring& target, std::wstring& temporary)
{
    std::wstring stem = FolderOf(target) + SavePrefix(NameOf(target)) + std::to_wstring(GetCurrentProcessId()) + L"-";
    for (unsigned attempt = 0; attempt < 1000; ++attempt) {
        temporary = stem + std::to_wstring(GetTickCount() + attempt);
        HANDLE file = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_EXISTS) {
            return file;
        }
    }
    SetLastError(ERROR_FILE_EXISTS);
    return INVALID_HANDLE_VALUE;
}

// Writes all of `bytes` from the start of the file.
bool WriteAll(HANDLE file, const std::string& bytes)
{
    LARGE_INTEGER start = {};
    if (!SetFilePointerEx(file, start, nullptr, FILE_BEGIN)) {
        return false;
    }
    size_t written = 0;
    while (written < bytes.size()) {
        DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - written, 1u << 20));
        DWORD done = 0;
        if (!WriteFile(file, bytes.data() + written, chunk, &done, nullptr)) {
            return false;
        }
        written += done;
    }
    return true;
}

bool ReadAll(HANDLE file, std::string& bytes)
{
    char buffer[65536];
    for (;;) {
        DWORD read = 0;
        if (!ReadFile(file, buffer, sizeof buffer, &read, nullptr)) {
            return false;
        }
        if (read == 0) return true;
        bytes.append(buffer, read);
    }
}

// Makes the file hold exactly `bytes`, on disk.
bool Rewrite(HANDLE file, const std::string& bytes)
{
    return WriteAll(file, bytes) && SetEndOfFile(file) && FlushFileBuffers(file);
}

// Rewrites an existing file through its own handle, so that its hard links, owner, security and
// streams all stay. The old text is read first and written back if the new one cannot be written
// whole; only a crash of the machine mid-write can leave a mixture. A file we may write but not
// read is rewritten without that safety net, as any plain save would.
bool RewriteInPlace(const std::wstring& target, const std::string& bytes, bool* partial)
{
    bool canRestore = true;
    HANDLE file = CreateFileW(target.c_str(), GENERIC_READ | GENERIC_WRITE, kShareAll, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE && GetLastError() == ERROR_ACCESS_DENIED) {
        canRestore = false;
        file = CreateFileW(target.c_str(), GENERIC_WRITE, kShareAll, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    }
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    std::string old;
    if (canRestore && !ReadAll(file, old)) {
        DWORD error = GetLastError();
        CloseHandle(file);
        return Fail(error);
    }
    if (!Rewrite(file, bytes)) {
        DWORD error = GetLastError();
        // Whether the old text is whole again decides what the user must be told.
        const bool restored = canRestore && Rewrite(file, old);
        if (!restored && partial) {
            *partial = true;
        }
        CloseHandle(file);
        return Fail(error);
    }
    return CloseHandle(file) != 0;
}

}  // namespace

namespace Platform {

std::unique_ptr<std::istream> OpenTextFileForReading(const std::wstring& path)
{
    // Other readers and writers are not locked out, as with a standard file stream. The bytes are
    // read as they are (the C runtime's text mode would end the text at a Ctrl+Z) and CR LF is
    // folded here, as on every system.
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return nullptr;
    }
    std::string bytes;
    if (!ReadAll(file, bytes)) {
        // What was read is only part of the file: a save of it would cut the file short.
        DWORD error = GetLastError();
        CloseHandle(file);
        Fail(error);
        return nullptr;
    }
    CloseHandle(file);
    return std::make_unique<std::istringstream>(WithoutCrBeforeLf(bytes));
}

bool ReplaceTextFile(const std::wstring& path, const std::string& text, Durability durability, bool* partial)
{
    if (partial) {
        *partial = false;
    }
    std::wstring target;
    if (!ResolveLink(path, target)) {
        return false;
    }

    // An existing target must itself be writable: the move must not get round a read-only file.
    DWORD attributes = GetFileAttributesW(target.c_str());
    bool exists = attributes != INVALID_FILE_ATTRIBUTES;
    DWORD links = 1;
    if (exists) {
        if (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)) {
            return Fail(ERROR_ACCESS_DENIED);
        }
        HANDLE probe = CreateFileW(target.c_str(), GENERIC_WRITE, kShareAll, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (probe == INVALID_HANDLE_VALUE) {
            return false;
        }
        BY_HANDLE_FILE_INFORMATION information = {};
        if (GetFileInformationByHandle(probe, &information)) {
            links = information.nNumberOfLinks;
        }
        CloseHandle(probe);
    }

    const std::string bytes = WithCrLf(text);
    // A move would give the other names of a hard-linked file the old text.
    if (links > 1) {
        return RewriteInPlace(target, bytes, partial);
    }

    std::wstring temporary;
    HANDLE file = CreateTemporaryBeside(target, temporary);
    if (file == INVALID_HANDLE_VALUE) {
        // A folder we may not add files to can still hold a file we may write.
        return exists ? RewriteInPlace(target, bytes, partial) : false;
    }
    const bool flush = durability == Durability::SurvivesSystemCrash;
    bool written = WriteAll(file, bytes) && (!flush || FlushFileBuffers(file));
    DWORD error = GetLastError();
    CloseHandle(file);
    if (written && exists) {
        // The new text keeps the old file's attributes (hidden, archive and so on).
        SetFileAttributesW(temporary.c_str(), attributes);
    }
    const DWORD moveFlags = MOVEFILE_REPLACE_EXISTING | (flush ? MOVEFILE_WRITE_THROUGH : 0);
    if (written && MoveFileExW(temporary.c_str(), target.c_str(), moveFlags)) {
        return true;
    }
    if (written) {
        error = GetLastError();
    }
    DeleteFileW(temporary.c_str());
    // The folder may refuse the replacement though the file may be written: a folder that lets
    // files be added but not removed, or a file another program holds open without sharing delete.
    if (written && exists && error == ERROR_ACCESS_DENIED) {
        return RewriteInPlace(target, bytes, partial);
    }
    return Fail(error);
}

void RemoveStaleSaveFiles(const std::wstring& path)
{
    std::wstring target;
    if (!ResolveLink(path, target)) {
        return;
    }
    const std::wstring folder = FolderOf(target);
    const std::wstring prefix = SavePrefix(NameOf(target));
    WIN32_FIND_DATAW found = {};
    HANDLE search = FindFirstFileW((folder + prefix + L"*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        return;
    }
    do {
        const std::wstring name = found.cFileName;
        if (name.compare(0, prefix.size(), prefix) != 0) {
            continue;
        }
        // The id, then "-" and a number, and nothing else.
        size_t digits = prefix.size();
        while (digits < name.size() && iswdigit(name[digits])) {
            ++digits;
        }
        const size_t idLength = digits - prefix.size();
        if (idLength == 0 || idLength > 10 || digits + 1 >= name.size() || name[digits] != L'-' ||
            name.find_first_not_of(L"0123456789", digits + 1) != std::wstring::npos) {
            continue;
        }
        const DWORD id = static_cast<DWORD>(std::wcstoul(name.substr(prefix.size(), idLength).c_str(), nullptr, 10));
        if (id != 0 && ProcessGone(id)) {
            DeleteFileW((folder + name).c_str());
        }
    } while (FindNextFileW(search, &found));
    FindClose(search);
}

}  // namespace Platform
