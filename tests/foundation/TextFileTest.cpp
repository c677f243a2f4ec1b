// Text files: text-mode reading and writing, Windows paths, and saves that never destroy the old
// file when they fail.
#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <dirent.h>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "common/Exception.h"
#include "common/TextFile.h"

using Common::Exception;
using Common::ReadTextFile;
using Common::WriteTextFile;

namespace {

class TextFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/morvane-textfile-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        m_dir = pattern;
    }
    void TearDown() override { std::system(("rm -rf '" + m_dir + "'").c_str()); }

    std::string Path(const std::string& name) const { return m_dir + "/" + name; }
    std::wstring WidePath(const std::string& name) const
    {
        std::string p = Path(name);
        return std::wstring(p.begin(), p.end());
    }
    void WriteBytes(const std::string& name, const std::string& bytes) const
    {
        std::ofstream(Path(name), std::ios::binary) << bytes;
    }
    std::string Bytes(const std::string& name) const
    {
        std::ifstream in(Path(name), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    size_t EntryCount() const
    {
        size_t count = 0;
        DIR* dir = opendir(m_dir.c_str());
        while (dirent* entry = readdir(dir)) {
            if (std::string(entry->d_name) != "." && std::string(entry->d_name) != "..") ++count;
        }
        closedir(dir);
        return count;
    }
    void ExpectSaveFails(const std::wstring& path, const std::string& text, DWORD code)
    {
        try {
            WriteTextFile(path, text);
            FAIL() << "the save reported success";
        } catch (const Exception& e) {
            EXPECT_EQ(e.Message(), L"File couldn't be saved.");
            EXPECT_EQ(e.Detail().code, code);
            EXPECT_FALSE(e.Detail().text.empty());
        }
    }

    std::string m_dir;
};

}  // namespace

TEST_F(TextFileTest, ReadingFoldsCrLfAndEndsEveryLineWithOneLineFeed)
{
    WriteBytes("a.glsl", "a\r\nb");
    EXPECT_EQ(ReadTextFile(WidePath("a.glsl")), "a\nb\n");
    WriteBytes("b.glsl", "\r\n\r\n");
    EXPECT_EQ(ReadTextFile(WidePath("b.glsl")), "\n\n");
    WriteBytes("c.glsl", "x\ny\n");
    EXPECT_EQ(ReadTextFile(WidePath("c.glsl")), "x\ny\n");
}

TEST_F(TextFileTest, ReadingKeepsLoneCarriageReturnsAndByteOrderMark)
{
    WriteBytes("cr.glsl", "a\rb\r\n\r");
    EXPECT_EQ(ReadTextFile(WidePath("cr.glsl")), "a\rb\n\r\n");
    WriteBytes("bom.glsl", "\xEF\xBB\xBFvoid main(){}\r\n");
    EXPECT_EQ(ReadTextFile(WidePath("bom.glsl")), "\xEF\xBB\xBFvoid main(){}\n");
}

TEST_F(TextFileTest, EmptyFileReadsAsEmptyText)
{
    WriteBytes("empty.glsl", "");
    EXPECT_EQ(ReadTextFile(WidePath("empty.glsl")), "");
}

TEST_F(TextFileTest, MissingFileOrFolderCannotBeLoaded)
{
    try {
        ReadTextFile(WidePath("missing.glsl"));
        FAIL() << "a missing file was read";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), L"File couldn't be loaded.");
        EXPECT_EQ(e.Detail().code, static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    }
    mkdir(Path("folder").c_str(), 0755);
    EXPECT_THROW(ReadTextFile(WidePath("folder")), Exception);
}

TEST_F(TextFileTest, WindowsPathWithBackslashesAndUnicodeNames)
{
    mkdir(Path("glsl").c_str(), 0755);
    WriteBytes("glsl/pixel\xC3\xA9.glsl", "p\r\n");
    std::wstring path = WidePath("glsl") + L"\\pixel\u00E9.glsl";
    EXPECT_EQ(ReadTextFile(path), "p\n");
    WriteTextFile(path, "q\n");
    EXPECT_EQ(Bytes("glsl/pixel\xC3\xA9.glsl"), "q\r\n");
}

TEST_F(TextFileTest, WritingPutsCrLfOnDiskAndRoundTrips)
{
    WriteTextFile(WidePath("w.glsl"), "x\ny");
    EXPECT_EQ(Bytes("w.glsl"), "x\r\ny");
    WriteBytes("r.glsl", "one\r\ntwo\r\n");
    WriteTextFile(WidePath("r.glsl"), ReadTextFile(WidePath("r.glsl")));
    EXPECT_EQ(Bytes("r.glsl"), "one\r\ntwo\r\n");
    EXPECT_EQ(EntryCount(), 2u) << "a temporary file was left behind";
}

TEST_F(TextFileTest, SaveKeepsPermissionsAndReplacesTheFileALinkPointsTo)
{
    WriteBytes("real.glsl", "old");
    chmod(Path("real.glsl").c_str(), 0640);
    ASSERT_EQ(symlink("real.glsl", Path("link.glsl").c_str()), 0);
    WriteTextFile(WidePath("link.glsl"), "new\n");
    struct stat info {};
    ASSERT_EQ(lstat(Path("link.glsl").c_str(), &info), 0);
    EXPECT_TRUE(S_ISLNK(info.st_mode));
    EXPECT_EQ(Bytes("real.glsl"), "new\r\n");
    ASSERT_EQ(stat(Path("real.glsl").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
}

TEST_F(TextFileTest, NewFileGetsTheUsualPermissions)
{
    mode_t mask = umask(022);
    WriteTextFile(WidePath("fresh.glsl"), "a\n");
    umask(mask);
    struct stat info {};
    ASSERT_EQ(stat(Path("fresh.glsl").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0644u);
}

TEST_F(TextFileTest, FolderInPlaceOfTheFileFailsAndStaysUntouched)
{
    mkdir(Path("target.glsl").c_str(), 0755);
    WriteBytes("target.glsl/inside", "keep");
    ExpectSaveFails(WidePath("target.glsl"), "text\n", ERROR_ACCESS_DENIED);
    EXPECT_EQ(Bytes("target.glsl/inside"), "keep");
    EXPECT_EQ(EntryCount(), 1u);
}

TEST_F(TextFileTest, MissingFolderCannotBeSaved)
{
    ExpectSaveFails(WidePath("no-such-folder/x.glsl"), "text\n", ERROR_FILE_NOT_FOUND);
}

TEST_F(TextFileTest, ReadOnlyFileIsNotReplacedBehindItsPermissions)
{
    // Root may write any file, so the save runs in a child that gives up root when the test has it.
    WriteBytes("ro.glsl", "old\r\n");
    chmod(Path("ro.glsl").c_str(), 0444);
    chmod(m_dir.c_str(), 0777);
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) _exit(3);
        try {
            WriteTextFile(WidePath("ro.glsl"), "new\n");
            _exit(1);
        } catch (const Exception& e) {
            bool expected = e.Message() == L"File couldn't be saved." && e.Detail().code == ERROR_ACCESS_DENIED;
            _exit(expected ? 0 : 2);
        }
    }
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "1: the save succeeded; 2: wrong message or code; 3: no user to become";
    EXPECT_EQ(Bytes("ro.glsl"), "old\r\n");
    EXPECT_EQ(EntryCount(), 1u);
}

TEST_F(TextFileTest, FailedWriteLeavesTheOldFileByteForByte)
{
    // The file-size limit makes the write itself fail part-way, as a full disk would.
    const std::string old = "old text\r\nkept as it is\r\n";
    WriteBytes("big.glsl", old);
    std::string text(4096, 'x');
    struct rlimit saved {};
    getrlimit(RLIMIT_FSIZE, &saved);
    struct rlimit small = saved;
    small.rlim_cur = 100;
    auto previous = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    ExpectSaveFails(WidePath("big.glsl"), text, ERROR_FILE_TOO_LARGE);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);
    EXPECT_EQ(Bytes("big.glsl"), old);
    EXPECT_EQ(EntryCount(), 1u) << "the temporary file was left behind";
}

TEST_F(TextFileTest, FullDiskLeavesTheOldFileByteForByte)
{
    // A small tmpfs is a real full disk; mounting one needs privileges a test may not have.
    std::string mountPoint = Path("small");
    mkdir(mountPoint.c_str(), 0755);
    std::string mount = "mount -t tmpfs -o size=64k tmpfs '" + mountPoint + "' 2>/dev/null";
    if (std::system(mount.c_str()) != 0) {
        GTEST_SKIP() << "no tmpfs can be mounted here; the file-size limit test covers the write failure";
    }
    const std::string old = "old\r\n";
    WriteBytes("small/f.glsl", old);
    ExpectSaveFails(WidePath("small/f.glsl"), std::string(256 * 1024, 'y'), ERROR_DISK_FULL);
    EXPECT_EQ(Bytes("small/f.glsl"), old);
    std::system(("umount '" + mountPoint + "'").c_str());
}
