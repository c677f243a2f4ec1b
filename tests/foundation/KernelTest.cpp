// The kernel services as the system uses them: last error, error texts, UTF-8 code-page
// conversion with Windows' edge rules, the performance counter and the module handle.
#include <gtest/gtest.h>

#include <string>

#include "platform/Windows.h"
#include "platform/linux/PosixInternal.h"

namespace {

std::wstring SystemText(DWORD code)
{
    LPWSTR buffer = nullptr;
    DWORD length = FormatMessageW(
        FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_ALLOCATE_BUFFER,
        nullptr, code, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), reinterpret_cast<LPWSTR>(&buffer), 0,
        nullptr);
    std::wstring text = length ? std::wstring(buffer, length) : std::wstring();
    LocalFree(buffer);
    return text;
}

int ToUtf8(const std::wstring& in, char* out, int size, int length)
{
    return WideCharToMultiByte(CP_UTF8, 0, in.c_str(), length, out, size, nullptr, nullptr);
}

}  // namespace

TEST(LastError, IsPerThreadValueSetAndRead)
{
    SetLastError(ERROR_ACCESS_DENIED);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    SetLastError(0);
    EXPECT_EQ(GetLastError(), 0u);
}

TEST(FormatMessage, GivesWindowsTextsEndingInCrLf)
{
    EXPECT_EQ(SystemText(0), L"The operation completed successfully.\r\n");
    EXPECT_EQ(SystemText(ERROR_FILE_NOT_FOUND), L"The system cannot find the file specified.\r\n");
    EXPECT_EQ(SystemText(ERROR_INVALID_WINDOW_HANDLE), L"Invalid window handle.\r\n");
}

TEST(FormatMessage, UnknownCodeHasNoTextAndSetsError)
{
    SetLastError(0);
    EXPECT_EQ(SystemText(0x7FFF1234), L"");
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MR_MID_NOT_FOUND));
}

TEST(FormatMessage, AddsTheNoteKeptWithTheLastErrorOnly)
{
    Platform::SetLastErrorWithNote(ERROR_DEVICE_NOT_CONNECTED, L"No X display could be opened.");
    EXPECT_EQ(SystemText(ERROR_DEVICE_NOT_CONNECTED),
              L"The device is not connected. No X display could be opened.\r\n");
    EXPECT_EQ(SystemText(ERROR_FILE_NOT_FOUND), L"The system cannot find the file specified.\r\n");
    SetLastError(ERROR_DEVICE_NOT_CONNECTED);
    EXPECT_EQ(SystemText(ERROR_DEVICE_NOT_CONNECTED), L"The device is not connected.\r\n");
}

TEST(FormatMessage, CopiesIntoACallerBufferOrRefusesOneTooSmall)
{
    wchar_t buffer[64];
    DWORD length = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                  ERROR_ACCESS_DENIED, 0, buffer, 64, nullptr);
    EXPECT_EQ(std::wstring(buffer, length), L"Access is denied.\r\n");
    EXPECT_EQ(FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM, nullptr, ERROR_ACCESS_DENIED, 0, buffer, 5, nullptr), 0u);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
}

TEST(CodePages, ZeroLengthIsRefused)
{
    char narrow[8];
    wchar_t wide[8];
    SetLastError(0);
    EXPECT_EQ(ToUtf8(L"abc", narrow, 8, 0), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    SetLastError(0);
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, "abc", 0, wide, 8), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

TEST(CodePages, MinusOneLengthIncludesTheTerminator)
{
    char narrow[8] = {'x', 'x', 'x', 'x', 'x', 'x', 'x', 'x'};
    EXPECT_EQ(ToUtf8(L"ab", narrow, 8, -1), 3);
    EXPECT_STREQ(narrow, "ab");
    wchar_t wide[8];
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, "\xC3\xA9", -1, wide, 8), 2);
    EXPECT_EQ(wide[0], L'\u00E9');
    EXPECT_EQ(wide[1], L'\0');
}

TEST(CodePages, SizeQueryThenTooSmallBufferFails)
{
    const std::wstring text = L"\u00E9\u20AC\U0001F600";  // 2 + 3 + 4 bytes
    EXPECT_EQ(ToUtf8(text, nullptr, 0, 3), 9);
    char small[4];
    SetLastError(0);
    EXPECT_EQ(ToUtf8(text, small, 4, 3), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
}

TEST(CodePages, InvalidUtf8BecomesOneReplacementPerMaximalSubpart)
{
    // A lone continuation byte, a truncated three-byte sequence followed by 'A', an overlong
    // encoding of '/', an encoded surrogate and a byte that never occurs.
    const char input[] = "\x80" "\xE2\x82" "A" "\xC0\xAF" "\xED\xA0\x80" "\xFF";
    wchar_t wide[32];
    int n = MultiByteToWideChar(CP_UTF8, 0, input, static_cast<int>(sizeof input - 1), wide, 32);
    std::wstring got(wide, static_cast<size_t>(n));
    EXPECT_EQ(got, L"\uFFFD\uFFFDA\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD");
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, input, 1, wide, 32), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NO_UNICODE_TRANSLATION));
}

TEST(CodePages, SurrogateCodesInWideTextBecomeReplacements)
{
    const wchar_t text[] = {L'a', static_cast<wchar_t>(0xD800), L'b', 0};
    char narrow[16];
    int n = ToUtf8(text, narrow, 16, 3);
    EXPECT_EQ(std::string(narrow, static_cast<size_t>(n)), "a\xEF\xBF\xBD" "b");
}

TEST(PerformanceCounter, NanosecondFrequencyAndMonotonicCount)
{
    LARGE_INTEGER frequency, first, second;
    ASSERT_EQ(QueryPerformanceFrequency(&frequency), TRUE);
    EXPECT_EQ(frequency.QuadPart, 1000000000LL);
    ASSERT_EQ(QueryPerformanceCounter(&first), TRUE);
    ASSERT_EQ(QueryPerformanceCounter(&second), TRUE);
    EXPECT_GE(second.QuadPart, first.QuadPart);
    EXPECT_EQ(QueryPerformanceCounter(nullptr), FALSE);
}

TEST(ModuleHandle, ExecutableHasAStableHandleOthersAreNotFound)
{
    EXPECT_NE(GetModuleHandleW(nullptr), nullptr);
    EXPECT_EQ(GetModuleHandleW(nullptr), GetModuleHandleW(nullptr));
    EXPECT_EQ(GetModuleHandleW(L"user32.dll"), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
}
