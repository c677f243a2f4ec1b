// Text files where only Windows has the cause: files that other programs hold open (with or
// without sharing), map into memory or mark read-only, and the file a read leaves closed.
#include <string>

#include "TextFileFixture.h"
#include "common/Exception.h"
#include "common/TextFile.h"

using Common::ReadTextFile;
using Common::WriteTextFile;

namespace {

const DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// A handle that another program might hold, closed when the test is done with it.
class Held {
public:
    explicit Held(HANDLE handle)
        : m_handle(handle)
    {
    }
    ~Held()
    {
        if (m_handle && m_handle != INVALID_HANDLE_VALUE) CloseHandle(m_handle);
    }
    Held(const Held&) = delete;
    Held& operator=(const Held&) = delete;

    HANDLE Get() const { return m_handle; }
    bool Valid() const { return m_handle && m_handle != INVALID_HANDLE_VALUE; }

private:
    HANDLE m_handle;
};

HANDLE Open(const std::wstring& path, DWORD access, DWORD share)
{
    return CreateFileW(path.c_str(), access, share, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

}  // namespace

TEST_F(TextFileTest, AFileThatWasReadIsClosedAgain)
{
    WriteBytes("closed.glsl", "x\r\n");
    ReadTextFile(WidePath("closed.glsl"));
    // Only a file that nobody holds open can be opened without sharing.
    Held alone(Open(WidePath("closed.glsl"), GENERIC_READ, 0));
    EXPECT_TRUE(alone.Valid()) << "the file is still open (error " << GetLastError() << ")";
}

TEST_F(TextFileTest, AFileOpenForWritingElsewhereCanStillBeRead)
{
    WriteBytes("shared.glsl", "x\r\n");
    Held writer(Open(WidePath("shared.glsl"), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE));
    ASSERT_TRUE(writer.Valid());
    EXPECT_EQ(ReadTextFile(WidePath("shared.glsl")), "x\n");
}

TEST_F(TextFileTest, AFileThatNobodyMayWriteBesideItsHolderIsNotSaved)
{
    // Held open by another that lets nobody write it, the file can neither be replaced nor
    // rewritten.
    WriteBytes("locked.glsl", "old\r\n");
    {
        Held holder(Open(WidePath("locked.glsl"), GENERIC_READ, FILE_SHARE_READ));
        ASSERT_TRUE(holder.Valid());
        ExpectSaveFails(WidePath("locked.glsl"), "new\n", ERROR_SHARING_VIOLATION);
    }
    EXPECT_EQ(Bytes("locked.glsl"), "old\r\n");
    EXPECT_EQ(EntryCount(), 1u) << "a temporary file was left behind";
}

TEST_F(TextFileTest, ReadOnlyFileIsNotReplaced)
{
    WriteBytes("readonly.glsl", "kept\r\n");
    ASSERT_TRUE(SetFileAttributesW(WidePath("readonly.glsl").c_str(), FILE_ATTRIBUTE_READONLY));
    ExpectSaveFails(WidePath("readonly.glsl"), "new\n", ERROR_ACCESS_DENIED);
    SetFileAttributesW(WidePath("readonly.glsl").c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(Bytes("readonly.glsl"), "kept\r\n");
    EXPECT_EQ(EntryCount(), 1u) << "a temporary file was left behind";
}

TEST_F(TextFileTest, AFileHeldOpenWithoutSharingDeleteIsRewrittenInPlace)
{
    // Windows refuses to move a file over one that is open without FILE_SHARE_DELETE; a plain
    // overwrite works.
    WriteBytes("held.glsl", "old\r\n");
    {
        Held holder(Open(WidePath("held.glsl"), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE));
        ASSERT_TRUE(holder.Valid());
        EXPECT_NO_THROW(WriteTextFile(WidePath("held.glsl"), "new\n"));
    }
    EXPECT_EQ(Bytes("held.glsl"), "new\r\n");
    EXPECT_EQ(EntryCount(), 1u) << "a temporary file was left behind";
}

TEST_F(TextFileTest, ARewriteInPlaceThatFailsPartWayPutsTheOldTextBack)
{
    // A file that another program has mapped into memory cannot be made shorter: the shorter text
    // is written over the start of the old one before cutting the end off fails. The second name
    // makes the save a rewrite in place.
    const std::string old(100, 'o');
    WriteBytes("mapped.glsl", old);
    HardLink("mapped.glsl", "mapped-link.glsl");
    {
        Held file(Open(WidePath("mapped.glsl"), GENERIC_READ, kShareAll));
        ASSERT_TRUE(file.Valid());
        Held mapping(CreateFileMappingW(file.Get(), nullptr, PAGE_READONLY, 0, 0, nullptr));
        ASSERT_TRUE(mapping.Valid());
        void* view = MapViewOfFile(mapping.Get(), FILE_MAP_READ, 0, 0, 0);
        ASSERT_NE(view, nullptr);
        ExpectSaveFails(WidePath("mapped.glsl"), "short\n", ERROR_USER_MAPPED_FILE);
        UnmapViewOfFile(view);
    }
    EXPECT_EQ(Bytes("mapped-link.glsl"), old);
    EXPECT_EQ(EntryCount(), 2u) << "a temporary file was left behind";
}
