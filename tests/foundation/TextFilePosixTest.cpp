// Text files where only POSIX systems have the cause: permissions and their owner, symbolic links,
// folders the user may not write, a read that fails, and writes cut short by the file-size limit or a full disk.
#include <csignal>
#include <cstdlib>
#include <functional>
#include <iostream>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "TextFileFixture.h"
#include "common/Exception.h"
#include "common/TextFile.h"
#include "platform/TextFiles.h"

using Common::Exception;
using Common::WriteTextFile;

namespace {

// Runs `body` in a child process that is an ordinary user (root gives up its rights, since
// permissions do not stop it) and returns the child's exit status; 99 means there was no
// ordinary user to become. The folder is opened to the others for it.
int AsOrdinaryUser(const std::filesystem::path& folder, const std::function<int()>& body)
{
    chmod(folder.c_str(), 0755);
    pid_t child = fork();
    if (child == 0) {
        if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) _exit(99);
        _exit(body());
    }
    int status = -1;
    if (child > 0) waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 100;
}

}  // namespace

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

// A file whose reading fails (here at its first byte: the process's own memory at address 0)
// is not loaded at all: a text cut short there would be saved over the whole file.
TEST_F(TextFileTest, AReadErrorIsAFailureWithItsCauseNeverAShorterText)
{
    try {
        const std::string text = Common::ReadTextFile(L"/proc/self/mem");
        ADD_FAILURE() << "a read error gave a text of " << text.size() << " bytes";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), L"File couldn't be loaded.");
        EXPECT_EQ(e.Detail().code, static_cast<DWORD>(ERROR_IO_DEVICE));
        EXPECT_NE(e.Detail().text.find(L"read to its end"), std::wstring::npos) << "says what failed";
    }
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

TEST_F(TextFileTest, ReadOnlyFileIsNotReplacedBehindItsPermissions)
{
    WriteBytes("ro.glsl", "old\r\n");
    chmod(Path("ro.glsl").c_str(), 0444);
    chmod(m_dir.c_str(), 0777);
    int status = AsOrdinaryUser(m_dir, [this] {
        try {
            WriteTextFile(WidePath("ro.glsl"), "new\n");
            return 1;
        } catch (const Exception& e) {
            return e.Message() == L"File couldn't be saved." && e.Detail().code == ERROR_ACCESS_DENIED ? 0 : 2;
        }
    });
    EXPECT_EQ(status, 0) << "1: the save succeeded; 2: wrong message or code; 99: no user to become";
    EXPECT_EQ(Bytes("ro.glsl"), "old\r\n");
    EXPECT_EQ(EntryCount(), 1u);
}

TEST_F(TextFileTest, WritableFileSavesWhereTheFolderRefusesANewFile)
{
    // A folder the user may not write to, holding files the user may write (one of them write-only).
    MakeFolder("locked");
    WriteBytes("locked/f.glsl", "old text\r\n");
    WriteBytes("locked/w.glsl", "old\r\n");
    chmod(Path("locked/f.glsl").c_str(), 0666);
    chmod(Path("locked/w.glsl").c_str(), 0222);
    chmod(Path("locked").c_str(), 0555);
    // A sticky shared folder lets anyone add files but not replace another user's file. Only root
    // can give a file to another user, so this case needs the test to run as root.
    const bool root = geteuid() == 0;
    if (root) {
        MakeFolder("shared");
        chmod(Path("shared").c_str(), 01777);
        WriteBytes("shared/g.glsl", "old\r\n");
        chmod(Path("shared/g.glsl").c_str(), 0666);
    }
    const std::uint64_t identity = Identity("locked/f.glsl");

    int status = AsOrdinaryUser(m_dir, [&] {
        const char* names[] = {"locked/f.glsl", "locked/w.glsl", "shared/g.glsl"};
        for (int i = 0; i < (root ? 3 : 2); ++i) {
            try {
                WriteTextFile(WidePath(names[i]), "new\n");
            } catch (const Exception& e) {
                std::wcerr << e.Message() << L"\n" << e.Detail().text;
                return i + 1;
            }
        }
        return 0;
    });
    chmod(Path("locked").c_str(), 0755);
    chmod(Path("locked/w.glsl").c_str(), 0644);
    EXPECT_EQ(status, 0) << "the save of case " << status << " failed; 99: no user to become";
    EXPECT_EQ(Bytes("locked/f.glsl"), "new\r\n");
    EXPECT_EQ(Identity("locked/f.glsl"), identity);
    EXPECT_EQ(Bytes("locked/w.glsl"), "new\r\n");
    if (root) {
        EXPECT_EQ(Bytes("shared/g.glsl"), "new\r\n");
        struct stat info {};
        stat(Path("shared/g.glsl").c_str(), &info);
        EXPECT_EQ(info.st_uid, 0u) << "the file changed hands";
    } else {
        std::cout << "[ NOTE     ] not root: the sticky-folder case was skipped\n";
    }
    EXPECT_EQ(EntryCount(), root ? 2u : 1u) << "a temporary file was left behind";
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
    // A hard-linked file is rewritten in place: the first 100 bytes of the new text overwrite the
    // old one before the write fails, and the old text must be written back.
    WriteBytes("linked.glsl", old);
    link(Path("linked.glsl").c_str(), Path("other.glsl").c_str());
    std::wstring detail = ExpectSaveFails(WidePath("linked.glsl"), text, ERROR_FILE_TOO_LARGE);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);
    EXPECT_EQ(Bytes("big.glsl"), old);
    EXPECT_EQ(Bytes("other.glsl"), old);
    EXPECT_EQ(Identity("linked.glsl"), Identity("other.glsl"));
    EXPECT_NE(detail.find(L"the old text was put back"), std::wstring::npos) << "the user is not told the file is whole";
    EXPECT_EQ(EntryCount(), 3u) << "the temporary file was left behind";
}

TEST_F(TextFileTest, FullDiskLeavesTheOldFileByteForByte)
{
    // A small tmpfs is a real full disk; mounting one needs privileges a test may not have.
    std::string mountPoint = Path("small").string();
    MakeFolder("small");
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

// A save killed between making its temporary file and renaming it leaves the file behind, named
// with the saving process's id: at start only those of the same file whose process is gone are
// removed. A save running in another process at that moment keeps its file.
TEST_F(TextFileTest, StaleSaveFilesOfGoneProcessesAreRemovedAndNoOthers)
{
    pid_t gone = fork();
    if (gone == 0) _exit(0);
    ASSERT_GT(gone, 0);
    waitpid(gone, nullptr, 0);
    pid_t alive = fork();
    if (alive == 0) {
        pause();
        _exit(0);
    }
    ASSERT_GT(alive, 0);
    const std::string goneId = std::to_string(gone);
    const std::string aliveId = std::to_string(alive);
    WriteBytes("f.glsl", "saved\r\n");
    WriteBytes(".f.glsl.saving-" + goneId + "-Ab3xYz", "cut short\r\n");
    WriteBytes(".f.glsl.saving-" + aliveId + "-Qw7eRt", "being saved\r\n");
    WriteBytes(".g.glsl.saving-" + goneId + "-Ab3xYz", "another file's\r\n");
    WriteBytes(".f.glsl.saving-" + goneId + "-notes.txt", "the user's\r\n");
    WriteBytes(".f.glsl.saving-Ab3xYz", "no id\r\n");
    Platform::RemoveStaleSaveFiles(WidePath("f.glsl"));
    kill(alive, SIGKILL);
    waitpid(alive, nullptr, 0);
    EXPECT_FALSE(std::filesystem::exists(Path(".f.glsl.saving-" + goneId + "-Ab3xYz"))) << "the gone process's file stays";
    EXPECT_EQ(Bytes(".f.glsl.saving-" + aliveId + "-Qw7eRt"), "being saved\r\n");
    EXPECT_EQ(Bytes(".g.glsl.saving-" + goneId + "-Ab3xYz"), "another file's\r\n");
    EXPECT_EQ(Bytes(".f.glsl.saving-" + goneId + "-notes.txt"), "the user's\r\n");
    EXPECT_EQ(Bytes(".f.glsl.saving-Ab3xYz"), "no id\r\n");
    EXPECT_EQ(Bytes("f.glsl"), "saved\r\n");
    EXPECT_EQ(EntryCount(), 5u);
}

// A rewrite in place that fails part-way where the old text cannot be written back either (it is
// longer than the file-size limit lets the file grow to): the failure says the file may now hold
// only part of the text, and that the full text is in the editor.
TEST_F(TextFileTest, ARewriteWhoseOldTextCannotBePutBackSaysTheFileMayHoldPartOfTheText)
{
    const std::string old(300, 'o');
    WriteBytes("linked.glsl", old);
    HardLink("linked.glsl", "other.glsl");
    struct rlimit saved {};
    getrlimit(RLIMIT_FSIZE, &saved);
    struct rlimit small = saved;
    small.rlim_cur = 100;
    auto previous = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const std::wstring detail = ExpectSaveFails(WidePath("linked.glsl"), std::string(4096, 'x'), ERROR_FILE_TOO_LARGE);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);
    const std::string narrow(detail.begin(), detail.end());
    EXPECT_NE(detail.find(L"may now hold only part of the text"), std::wstring::npos) << narrow;
    EXPECT_NE(detail.find(L"the full text is still in the editor"), std::wstring::npos) << narrow;
    EXPECT_EQ(detail.find(L"the old text was put back"), std::wstring::npos) << narrow;
}
