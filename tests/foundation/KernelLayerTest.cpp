// What the Linux layer's kernel services do or promise of their own: Windows' English error texts,
// the note kept with the last error (and carried by exceptions), one replacement character per
// byte of an encoded surrogate, the counter in nanoseconds of the monotonic clock, and a module
// handle for the executable only.
#include <gtest/gtest.h>

#include <string>

#include "SystemText.h"
#include "common/Exception.h"
#include "platform/Windows.h"
#include "platform/linux/PosixInternal.h"

TEST(FormatMessageW, GivesWindowsEnglishTexts)
{
    EXPECT_EQ(SystemText(0), L"The operation completed successfully.\r\n");
    EXPECT_EQ(SystemText(ERROR_FILE_NOT_FOUND), L"The system cannot find the file specified.\r\n");
    EXPECT_EQ(SystemText(ERROR_ACCESS_DENIED), L"Access is denied.\r\n");
    EXPECT_EQ(SystemText(ERROR_INVALID_WINDOW_HANDLE), L"Invalid window handle.\r\n");
}

TEST(FormatMessageW, AddsTheNoteKeptWithTheLastErrorOnly)
{
    Platform::SetLastErrorWithNote(ERROR_DEVICE_NOT_CONNECTED, L"No X display could be opened.");
    EXPECT_EQ(SystemText(ERROR_DEVICE_NOT_CONNECTED),
              L"The device is not connected. No X display could be opened.\r\n");
    EXPECT_EQ(SystemText(ERROR_FILE_NOT_FOUND), L"The system cannot find the file specified.\r\n");
    SetLastError(ERROR_DEVICE_NOT_CONNECTED);
    EXPECT_EQ(SystemText(ERROR_DEVICE_NOT_CONNECTED), L"The device is not connected.\r\n");
}

TEST(Exception, NoteOfTheLayerTravelsInTheDetailNotTheMessage)
{
    Platform::SetLastErrorWithNote(ERROR_DEVICE_NOT_CONNECTED, L"DISPLAY is not set.");
    Common::Exception e(L"");
    EXPECT_TRUE(e.Message().empty());
    EXPECT_EQ(e.Detail().text, L"The device is not connected. DISPLAY is not set.\r\n");
}

TEST(CodePages, EncodedSurrogateIsThreeMaximalSubparts)
{
    // ED may start a sequence, but not one with A0: each byte is replaced on its own, as Unicode
    // recommends (Wine 8 replaces the three bytes with two characters).
    const char input[] = "a" "\xED\xA0\x80" "b";
    wchar_t wide[16];
    int n = MultiByteToWideChar(CP_UTF8, 0, input, static_cast<int>(sizeof input - 1), wide, 16);
    EXPECT_EQ(std::wstring(wide, static_cast<size_t>(n)), L"a\uFFFD\uFFFD\uFFFDb");
}

TEST(PerformanceCounter, NanosecondsOfTheMonotonicClock)
{
    LARGE_INTEGER frequency;
    ASSERT_EQ(QueryPerformanceFrequency(&frequency), TRUE);
    EXPECT_EQ(frequency.QuadPart, 1000000000LL);
    EXPECT_EQ(QueryPerformanceCounter(nullptr), FALSE);
}

TEST(ModuleHandle, OnlyTheExecutableIsKnown)
{
    SetLastError(0);
    EXPECT_EQ(GetModuleHandleW(L"user32.dll"), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
}
