// The kernel services as the system uses them: last error, error texts, UTF-8 code-page
// conversion with Windows' edge rules, the performance counter and the module handle. The Windows
// build runs these on the system's own calls; what only the Linux layer does or promises (Windows'
// English texts among them) is in KernelLayerTest.cpp.
#include <gtest/gtest.h>

#include <chrono>
#include <set>
#include <string>
#include <thread>

#include "SystemText.h"
#include "platform/Windows.h"

namespace {

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

TEST(FormatMessageW, GivesOneLineOfTextPerCodeEndingInCrLf)
{
    const DWORD codes[] = {0, ERROR_FILE_NOT_FOUND, ERROR_ACCESS_DENIED, ERROR_INVALID_WINDOW_HANDLE};
    std::set<std::wstring> texts;
    for (DWORD code : codes) {
        const std::wstring text = SystemText(code);
        ASSERT_GT(text.size(), 2u) << "code " << code;
        EXPECT_EQ(text.find_first_of(L"\r\n"), text.size() - 2) << "code " << code;
        EXPECT_EQ(text.substr(text.size() - 2), L"\r\n") << "code " << code;
        texts.insert(text);
    }
    EXPECT_EQ(texts.size(), 4u) << "two codes share a text";
}

TEST(FormatMessageW, UnknownCodeHasNoTextAndSetsError)
{
    SetLastError(0);
    EXPECT_EQ(SystemText(0x7FFF1234), L"");
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MR_MID_NOT_FOUND));
}

TEST(FormatMessageW, CopiesIntoACallerBufferOrRefusesOneTooSmall)
{
    wchar_t buffer[64];
    DWORD length = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                  ERROR_ACCESS_DENIED, 0, buffer, 64, nullptr);
    ASSERT_GT(length, 5u);
    EXPECT_EQ(std::wstring(buffer, length), SystemText(ERROR_ACCESS_DENIED));
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
    // 2 + 3 + 4 bytes; the last character is two UTF-16 units on Windows, one elsewhere.
    const std::wstring text = L"\u00E9\u20AC\U0001F600";
    const int length = static_cast<int>(text.size());
    EXPECT_EQ(ToUtf8(text, nullptr, 0, length), 9);
    char small[4];
    SetLastError(0);
    EXPECT_EQ(ToUtf8(text, small, 4, length), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
}

TEST(CodePages, InvalidUtf8BecomesOneReplacementPerMaximalSubpart)
{
    // A lone continuation byte, a truncated three-byte sequence followed by 'A', an overlong
    // encoding of '/' (two bytes that can start nothing) and a byte that never occurs.
    const char input[] = "\x80" "\xE2\x82" "A" "\xC0\xAF" "\xFF";
    wchar_t wide[32];
    int n = MultiByteToWideChar(CP_UTF8, 0, input, static_cast<int>(sizeof input - 1), wide, 32);
    std::wstring got(wide, static_cast<size_t>(n));
    EXPECT_EQ(got, L"\uFFFD\uFFFDA\uFFFD\uFFFD\uFFFD");
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

TEST(PerformanceCounter, CountsForwardAtAFixedFrequency)
{
    LARGE_INTEGER frequency, first, second;
    ASSERT_EQ(QueryPerformanceFrequency(&frequency), TRUE);
    EXPECT_GT(frequency.QuadPart, 0);
    ASSERT_EQ(QueryPerformanceCounter(&first), TRUE);
    ASSERT_EQ(QueryPerformanceCounter(&second), TRUE);
    EXPECT_GE(second.QuadPart, first.QuadPart);
    // The count and the frequency agree on the unit: a sleep of 50 ms counts as about that long
    // (a coarse system timer may end it a little early, a busy machine much later).
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    LARGE_INTEGER third;
    ASSERT_EQ(QueryPerformanceCounter(&third), TRUE);
    const double seconds = static_cast<double>(third.QuadPart - second.QuadPart) / static_cast<double>(frequency.QuadPart);
    EXPECT_GE(seconds, 0.04);
    EXPECT_LT(seconds, 5.0);
}

TEST(ModuleHandle, ExecutableHasAStableHandleUnknownModulesAreNotFound)
{
    EXPECT_NE(GetModuleHandleW(nullptr), nullptr);
    EXPECT_EQ(GetModuleHandleW(nullptr), GetModuleHandleW(nullptr));
    SetLastError(0);
    EXPECT_EQ(GetModuleHandleW(L"no-such-module.dll"), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
}
