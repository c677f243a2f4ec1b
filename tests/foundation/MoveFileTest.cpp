// Moving a file never replaces one of the new name, also where the file system refuses
// renameat2's RENAME_NOREPLACE or hard links: run as it is and under a preloaded stand-in for
// such a file system (RenameLimits.c).
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <dlfcn.h>
#include <fcntl.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "TextFileFixture.h"
#include "platform/Windows.h"

namespace {

std::wstring LastErrorText()
{
    wchar_t buffer[1024];
    const DWORD length = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM, nullptr, GetLastError(), 0, buffer, 1024, nullptr);
    return std::wstring(buffer, length);
}

class MoveFileTest : public TextFileTest {};

}  // namespace

// The test runs under the stand-in where the test's environment says so: it must then be in
// place, or the run would only repeat the plain one.
TEST_F(MoveFileTest, TheStandInIsInPlaceWhereItIsAskedFor)
{
    const char* expected = std::getenv("MORVANE_EXPECT_RENAME_LIMITS");
    if (!expected || !*expected) {
        GTEST_SKIP() << "run without the stand-in";
    }
    ASSERT_NE(dlsym(RTLD_DEFAULT, "MorvaneRenameLimitsLoaded"), nullptr);
    WriteBytes("a", "a");
    const std::string a = Path("a").string();
    const std::string b = Path("b").string();
    EXPECT_NE(renameat2(AT_FDCWD, a.c_str(), AT_FDCWD, b.c_str(), RENAME_NOREPLACE), 0);
    EXPECT_EQ(errno, EINVAL);
    if (std::getenv("MORVANE_REFUSE_LINK")) {
        EXPECT_NE(link(a.c_str(), b.c_str()), 0);
        EXPECT_EQ(errno, EPERM);
    }
}

TEST_F(MoveFileTest, AFileMovesToAFreeName)
{
    WriteBytes("kept", "earlier edits\r\n");
    const bool moved = MoveFileW(WidePath("kept").c_str(), WidePath("kept.1").c_str());
    const std::wstring why = LastErrorText();
    ASSERT_TRUE(moved) << std::string(why.begin(), why.end());
    EXPECT_FALSE(std::filesystem::exists(Path("kept")));
    EXPECT_EQ(Bytes("kept.1"), "earlier edits\r\n");
    EXPECT_EQ(EntryCount(), 1u);
}

TEST_F(MoveFileTest, ATakenNameIsNeverReplacedAndTheRefusalSaysSo)
{
    WriteBytes("kept", "earlier edits\r\n");
    WriteBytes("kept.1", "older edits\r\n");
    SetLastError(0);
    EXPECT_FALSE(MoveFileW(WidePath("kept").c_str(), WidePath("kept.1").c_str()));
    const DWORD error = GetLastError();
    EXPECT_TRUE(error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS) << error;
    EXPECT_EQ(LastErrorText().find(L"parameter is incorrect"), std::wstring::npos);
    EXPECT_EQ(Bytes("kept"), "earlier edits\r\n");
    EXPECT_EQ(Bytes("kept.1"), "older edits\r\n");
    EXPECT_EQ(EntryCount(), 2u);
}

TEST_F(MoveFileTest, AMissingFileIsNotFound)
{
    EXPECT_FALSE(MoveFileW(WidePath("nothing").c_str(), WidePath("elsewhere").c_str()));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(EntryCount(), 0u);
}
