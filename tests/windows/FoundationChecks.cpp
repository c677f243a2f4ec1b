// Checks of the foundation as the Windows build has it: text files through the C runtime's text
// mode, the byte-order mark, and the durable replace (or the rewrite in place where a replace
// cannot work) on the Windows file system, wide (UTF-16) text conversion through
// the system's code-page calls, and the system error text captured by exceptions. Runs in the
// current folder (a fresh, empty one) and prints one PASS or FAIL line per check.
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "common/Exception.h"
#include "common/TextConversion.h"
#include "common/TextFile.h"
#include "platform/Windows.h"

namespace {

int g_failures = 0;

struct CheckFailure {
    std::string what;
};

void Require(bool condition, const std::string& what)
{
    if (!condition) {
        throw CheckFailure{what};
    }
}

std::string Narrow(const std::wstring& text)
{
    std::string out;
    for (wchar_t c : text) out += c < 0x80 ? static_cast<char>(c) : '?';
    return out;
}

void Run(const char* name, const std::function<void()>& check)
{
    try {
        check();
        std::printf("PASS %s\n", name);
    } catch (const CheckFailure& failure) {
        std::printf("FAIL %s: %s\n", name, failure.what.c_str());
        ++g_failures;
    } catch (const Common::Exception& e) {
        std::printf("FAIL %s: unexpected exception \"%s\" (code %lu)\n", name, Narrow(e.Message()).c_str(),
                    static_cast<unsigned long>(e.Detail().code));
        ++g_failures;
    }
    std::fflush(stdout);
}

void WriteBytes(const std::wstring& path, const std::string& bytes)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    Require(file != INVALID_HANDLE_VALUE, "cannot create " + Narrow(path));
    DWORD written = 0;
    BOOL ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    Require(ok && written == bytes.size(), "cannot write " + Narrow(path));
}

std::string Bytes(const std::wstring& path)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    Require(file != INVALID_HANDLE_VALUE, "cannot open " + Narrow(path));
    std::string bytes;
    char buffer[4096];
    DWORD read = 0;
    while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0) bytes.append(buffer, read);
    CloseHandle(file);
    return bytes;
}

// The names in the folder, to see that a failed save leaves no temporary file behind.
std::vector<std::wstring> Entries(const std::wstring& folder)
{
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW data;
    HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &data);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        std::wstring name = data.cFileName;
        if (name != L"." && name != L"..") names.push_back(name);
    } while (FindNextFileW(search, &data));
    FindClose(search);
    return names;
}

std::string Describe(const std::string& text)
{
    std::string out;
    for (unsigned char c : text) {
        char hex[8];
        std::snprintf(hex, sizeof hex, c >= 0x20 && c < 0x7f ? "%c" : "\\x%02x", c);
        out += hex;
    }
    return out;
}

void RequireText(const std::string& actual, const std::string& expected, const std::string& what)
{
    Require(actual == expected, what + ": got \"" + Describe(actual) + "\", expected \"" + Describe(expected) + "\"");
}

// Runs `action`, which must throw Common::Exception with `message` and a detail whose code is
// `code` and whose system text is not empty.
void RequireThrows(const std::function<void()>& action, const std::wstring& message, DWORD code)
{
    try {
        action();
    } catch (const Common::Exception& e) {
        Require(e.Message() == message, "message \"" + Narrow(e.Message()) + "\", expected \"" + Narrow(message) + "\"");
        Require(e.Detail().code == code, "error code " + std::to_string(e.Detail().code) + ", expected " + std::to_string(code));
        Require(!e.Detail().text.empty(), "no system text for error code " + std::to_string(code));
        return;
    }
    throw CheckFailure{"no exception"};
}

void TextFileChecks()
{
    Run("reading folds CR LF and ends the last line", [] {
        WriteBytes(L"a.glsl", "a\r\nb");
        RequireText(Common::ReadTextFile(L"a.glsl"), "a\nb\n", "a CR LF b");
        WriteBytes(L"b.glsl", "\r\n\r\n");
        RequireText(Common::ReadTextFile(L"b.glsl"), "\n\n", "two empty lines");
        WriteBytes(L"c.glsl", "");
        RequireText(Common::ReadTextFile(L"c.glsl"), "", "an empty file");
    });
    Run("a byte-order mark is dropped on reading and written back where the file has one", [] {
        WriteBytes(L"bom.glsl", "\xEF\xBB\xBF#version 120\r\n");
        RequireText(Common::ReadTextFile(L"bom.glsl"), "#version 120\n", "the text read");
        Common::WriteTextFile(L"bom.glsl", "new\n");
        RequireText(Bytes(L"bom.glsl"), "\xEF\xBB\xBFnew\r\n", "the file saved");
        WriteBytes(L"plain.glsl", "old\r\n");
        Common::WriteTextFile(L"plain.glsl", "new\n");
        RequireText(Bytes(L"plain.glsl"), "new\r\n", "a file without the mark");
    });
    Run("a file that was read is closed again", [] {
        WriteBytes(L"closed.glsl", "x\r\n");
        Common::ReadTextFile(L"closed.glsl");
        // Only a file that nobody holds open can be opened without sharing.
        HANDLE alone = CreateFileW(L"closed.glsl", GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        Require(alone != INVALID_HANDLE_VALUE, "the file is still open (error " + std::to_string(GetLastError()) + ")");
        CloseHandle(alone);
    });
    Run("reading by a relative path with backslashes and a non-ASCII name", [] {
        Require(CreateDirectoryW(L"glsl", nullptr) != 0, "cannot create the folder");
        std::wstring path = L"glsl\\sch\u00e9ma-\u03c0-\U0001F600.glsl";
        WriteBytes(path, "void main() {}\r\n");
        RequireText(Common::ReadTextFile(path), "void main() {}\n", "the shader");
    });
    Run("a file that cannot be read names the cause", [] {
        RequireThrows([] { Common::ReadTextFile(L"missing.glsl"); }, L"File couldn't be loaded.", ERROR_FILE_NOT_FOUND);
        RequireThrows([] { Common::ReadTextFile(L"nowhere\\missing.glsl"); }, L"File couldn't be loaded.", ERROR_PATH_NOT_FOUND);
        Require(CreateDirectoryW(L"folder", nullptr) != 0, "cannot create the folder");
        RequireThrows([] { Common::ReadTextFile(L"folder"); }, L"File couldn't be loaded.", ERROR_ACCESS_DENIED);
    });
    Run("a file open for writing elsewhere can still be read", [] {
        WriteBytes(L"shared.glsl", "x\r\n");
        HANDLE writer = CreateFileW(L"shared.glsl", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        Require(writer != INVALID_HANDLE_VALUE, "cannot open the file for writing");
        std::string text;
        try {
            text = Common::ReadTextFile(L"shared.glsl");
        } catch (...) {
            CloseHandle(writer);
            throw;
        }
        CloseHandle(writer);
        RequireText(text, "x\n", "the text");
    });
    Run("writing turns each line feed into CR LF and replaces the file", [] {
        Common::WriteTextFile(L"w.glsl", "x\ny");
        RequireText(Bytes(L"w.glsl"), "x\r\ny", "a new file");
        Common::WriteTextFile(L"w.glsl", "first\nsecond\n");
        RequireText(Bytes(L"w.glsl"), "first\r\nsecond\r\n", "the replaced file");
        RequireText(Common::ReadTextFile(L"w.glsl"), "first\nsecond\n", "read back");
    });
    Run("a failed save keeps the old file and leaves no temporary file", [] {
        Require(CreateDirectoryW(L"saves", nullptr) != 0, "cannot create the folder");
        WriteBytes(L"saves\\locked.glsl", "old\r\n");
        // Held open by another that lets nobody write it, the file can neither be replaced nor
        // rewritten.
        HANDLE holder = CreateFileW(L"saves\\locked.glsl", GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
        Require(holder != INVALID_HANDLE_VALUE, "cannot hold the file open");
        try {
            RequireThrows([] { Common::WriteTextFile(L"saves\\locked.glsl", "new\n"); }, L"File couldn't be saved.",
                          ERROR_SHARING_VIOLATION);
        } catch (...) {
            CloseHandle(holder);
            throw;
        }
        CloseHandle(holder);
        RequireText(Bytes(L"saves\\locked.glsl"), "old\r\n", "the old file");

        WriteBytes(L"saves\\readonly.glsl", "kept\r\n");
        Require(SetFileAttributesW(L"saves\\readonly.glsl", FILE_ATTRIBUTE_READONLY) != 0, "cannot make it read-only");
        RequireThrows([] { Common::WriteTextFile(L"saves\\readonly.glsl", "new\n"); }, L"File couldn't be saved.",
                      ERROR_ACCESS_DENIED);
        SetFileAttributesW(L"saves\\readonly.glsl", FILE_ATTRIBUTE_NORMAL);
        RequireText(Bytes(L"saves\\readonly.glsl"), "kept\r\n", "the read-only file");

        Require(CreateDirectoryW(L"saves\\sub", nullptr) != 0, "cannot create the folder");
        RequireThrows([] { Common::WriteTextFile(L"saves\\sub", "new\n"); }, L"File couldn't be saved.", ERROR_ACCESS_DENIED);
        RequireThrows([] { Common::WriteTextFile(L"saves\\none\\x.glsl", "new\n"); }, L"File couldn't be saved.",
                      ERROR_PATH_NOT_FOUND);

        std::vector<std::wstring> names = Entries(L"saves");
        std::string listing;
        for (const std::wstring& name : names) listing += Narrow(name) + " ";
        Require(names.size() == 3, "the folder holds: " + listing);
    });
    Run("a save rewrites the file in place where it cannot be replaced", [] {
        Require(CreateDirectoryW(L"inplace", nullptr) != 0, "cannot create the folder");
        // Hard links: a move would leave the other name with the old text.
        WriteBytes(L"inplace\\a.glsl", "old\r\n");
        Require(CreateHardLinkW(L"inplace\\b.glsl", L"inplace\\a.glsl", nullptr) != 0, "cannot link the file");
        Common::WriteTextFile(L"inplace\\a.glsl", "a longer new text\n");
        RequireText(Bytes(L"inplace\\b.glsl"), "a longer new text\r\n", "the other name");
        Common::WriteTextFile(L"inplace\\b.glsl", "short\n");
        RequireText(Bytes(L"inplace\\a.glsl"), "short\r\n", "the first name after a shorter text");

        // Held open by another that shares reading and writing but not deleting: Windows refuses
        // the move, a plain overwrite works.
        WriteBytes(L"inplace\\held.glsl", "old\r\n");
        HANDLE holder = CreateFileW(L"inplace\\held.glsl", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        Require(holder != INVALID_HANDLE_VALUE, "cannot hold the file open");
        try {
            Common::WriteTextFile(L"inplace\\held.glsl", "new\n");
        } catch (...) {
            CloseHandle(holder);
            throw;
        }
        CloseHandle(holder);
        RequireText(Bytes(L"inplace\\held.glsl"), "new\r\n", "the file held open");

        // A name so long that no temporary file can be named beside it.
        std::wstring longName = L"inplace\\" + std::wstring(240, L'n');
        WriteBytes(longName, "old\r\n");
        Common::WriteTextFile(longName, "new\n");
        RequireText(Bytes(longName), "new\r\n", "the file with a long name");

        std::vector<std::wstring> names = Entries(L"inplace");
        Require(names.size() == 4, "a temporary file was left behind (" + std::to_string(names.size()) + " names)");
    });
    Run("a rewrite in place that fails part-way puts the old text back", [] {
        // A file that another program has mapped into memory cannot be made shorter: the shorter
        // text is written over the start of the old one before cutting the end off fails.
        const std::string old(100, 'o');
        WriteBytes(L"mapped.glsl", old);
        Require(CreateHardLinkW(L"mapped-link.glsl", L"mapped.glsl", nullptr) != 0, "cannot link the file");
        HANDLE file = CreateFileW(L"mapped.glsl", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        Require(file != INVALID_HANDLE_VALUE, "cannot open the file");
        HANDLE mapping = CreateFileMappingW(file, nullptr, PAGE_READONLY, 0, 0, nullptr);
        void* view = mapping ? MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0) : nullptr;
        auto release = [&] {
            if (view) UnmapViewOfFile(view);
            if (mapping) CloseHandle(mapping);
            CloseHandle(file);
        };
        try {
            Require(view != nullptr, "cannot map the file");
            RequireThrows([] { Common::WriteTextFile(L"mapped.glsl", "short\n"); }, L"File couldn't be saved.",
                          ERROR_USER_MAPPED_FILE);
        } catch (...) {
            release();
            throw;
        }
        release();
        RequireText(Bytes(L"mapped-link.glsl"), old, "the file after the failed rewrite");
    });
}

void ConversionChecks()
{
    Run("UTF-16 surrogate pairs and UTF-8 survive a round trip", [] {
        std::wstring wide = L"a\u00e9\u20ac\U0001F600z";
        Require(wide.size() == 6, "wchar_t is not UTF-16 here");
        std::string narrow = Common::WideToUtf8(wide);
        RequireText(narrow, "a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80z", "the UTF-8 text");
        Require(Common::Utf8ToWide(narrow) == wide, "the wide text changed in the round trip");
    });
    Run("invalid input becomes U+FFFD", [] {
        Require(Common::Utf8ToWide("a\xFFz") == L"a\uFFFDz", "an invalid UTF-8 byte");
        std::wstring unpaired = L"a";
        unpaired += static_cast<wchar_t>(0xD800);
        unpaired += L"z";
        RequireText(Common::WideToUtf8(unpaired), "a\xEF\xBF\xBDz", "an unpaired surrogate");
    });
    Run("empty text is refused and the text ends at a zero character", [] {
        RequireThrows([] { Common::WideToUtf8(L""); }, L"", ERROR_INVALID_PARAMETER);
        RequireThrows([] { Common::Utf8ToWide(""); }, L"", ERROR_INVALID_PARAMETER);
        RequireText(Common::WideToUtf8(std::wstring(L"ab\0cd", 5)), "ab", "wide to narrow");
        Require(Common::Utf8ToWide(std::string("ab\0cd", 5)) == L"ab", "narrow to wide");
    });
    Run("an exception carries the system's text for the last error", [] {
        SetLastError(ERROR_ACCESS_DENIED);
        Common::Exception e(L"message");
        Require(e.Message() == L"message", "the message");
        Require(e.Detail().code == ERROR_ACCESS_DENIED, "the code");
        const std::wstring& text = e.Detail().text;
        Require(text.size() > 2 && text.compare(text.size() - 2, 2, L"\r\n") == 0,
                "the system text \"" + Narrow(text) + "\" does not end in CR LF");
    });
}

}  // namespace

int wmain()
{
    TextFileChecks();
    ConversionChecks();
    return g_failures == 0 ? 0 : 1;
}
