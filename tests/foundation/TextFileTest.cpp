// Text files on both systems: text-mode reading and writing, Windows paths, the byte-order mark,
// and saves that never destroy the old file when they fail, including those rewritten in place.
// What only one system has (permissions and limits, sharing modes and mappings) is in
// TextFilePosixTest.cpp and TextFileWindowsTest.cpp.
#include <filesystem>
#include <string>

#include "TextFileFixture.h"
#include "common/Exception.h"
#include "common/TextFile.h"

using Common::Exception;
using Common::ReadTextFile;
using Common::WriteTextFile;
using namespace std::string_literals;

namespace {

// Windows tells a missing folder from a missing file; the Linux layer reports both as a missing
// file.
#ifdef _WIN32
const DWORD kFolderNotFound = ERROR_PATH_NOT_FOUND;
#else
const DWORD kFolderNotFound = ERROR_FILE_NOT_FOUND;
#endif

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

TEST_F(TextFileTest, ReadingKeepsLoneCarriageReturnsAndDropsALeadingByteOrderMark)
{
    WriteBytes("cr.glsl", "a\rb\r\n\r");
    EXPECT_EQ(ReadTextFile(WidePath("cr.glsl")), "a\rb\n\r\n");
    // The compiler refuses the mark before #version; only the leading one belongs to the file.
    WriteBytes("bom.glsl", "\xEF\xBB\xBF#version 120\r\n");
    EXPECT_EQ(ReadTextFile(WidePath("bom.glsl")), "#version 120\n");
    WriteBytes("only.glsl", "\xEF\xBB\xBF");
    EXPECT_EQ(ReadTextFile(WidePath("only.glsl")), "");
    WriteBytes("inside.glsl", "a\xEF\xBB\xBF\r\n\xEF\xBB\xBF");
    EXPECT_EQ(ReadTextFile(WidePath("inside.glsl")), "a\xEF\xBB\xBF\n\xEF\xBB\xBF\n");
}

TEST_F(TextFileTest, SaveWritesTheByteOrderMarkBackOnlyWhereTheFileHasOne)
{
    const std::string mark = "\xEF\xBB\xBF";
    WriteBytes("bom.glsl", mark + "old\r\n");
    WriteTextFile(WidePath("bom.glsl"), ReadTextFile(WidePath("bom.glsl")) + "new\n");
    EXPECT_EQ(Bytes("bom.glsl"), mark + "old\r\nnew\r\n");
    // A text that begins with the mark's character (a file that had two) keeps it: reading drops
    // only the file's own, so the saved text reads back unchanged.
    WriteBytes("twice.glsl", mark + mark + "twice\r\n");
    const std::string twice = ReadTextFile(WidePath("twice.glsl"));
    EXPECT_EQ(twice, mark + "twice\n");
    WriteTextFile(WidePath("twice.glsl"), twice);
    EXPECT_EQ(Bytes("twice.glsl"), mark + mark + "twice\r\n");
    EXPECT_EQ(ReadTextFile(WidePath("twice.glsl")), twice) << "a save of the text read gives back the same text";
    WriteTextFile(WidePath("typed.glsl"), mark + "typed\n");
    EXPECT_EQ(ReadTextFile(WidePath("typed.glsl")), mark + "typed\n") << "a mark typed at the start is kept";

    // Whether to write the mark is read from the file at each save: another editor may drop it.
    WriteBytes("bom.glsl", "plain\r\n");
    WriteTextFile(WidePath("bom.glsl"), "again\n");
    EXPECT_EQ(Bytes("bom.glsl"), "again\r\n");
    WriteTextFile(WidePath("fresh.glsl"), "new\n");
    EXPECT_EQ(Bytes("fresh.glsl"), "new\r\n");
}

TEST_F(TextFileTest, EmptyFileReadsAsEmptyText)
{
    WriteBytes("empty.glsl", "");
    EXPECT_EQ(ReadTextFile(WidePath("empty.glsl")), "");
}

TEST_F(TextFileTest, MissingFileOrFolderCannotBeLoaded)
{
    ExpectLoadFails(WidePath("missing.glsl"), ERROR_FILE_NOT_FOUND);
    ExpectLoadFails(WidePath("nowhere/missing.glsl"), kFolderNotFound);
    MakeFolder("folder");
    ExpectLoadFails(WidePath("folder"), ERROR_ACCESS_DENIED);
}

// No edit box can hold a NUL byte, and a save of the text before it would cut the file short:
// such a file is refused, naming the file and the line. Every other byte, Windows' old
// end-of-file mark Ctrl+Z too, is text.
TEST_F(TextFileTest, AFileWithANulByteIsRefusedNamingItsLineAndCtrlZIsText)
{
    WriteBytes("zero.glsl", "\xEF\xBB\xBFone\r\ntwo\r\n// a NUL here:\0 then more\r\n// LAST\r\n"s);
    try {
        ReadTextFile(WidePath("zero.glsl"));
        ADD_FAILURE() << "a file holding a NUL byte was loaded";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), L"File couldn't be loaded.");
        EXPECT_EQ(e.Detail().code, static_cast<DWORD>(ERROR_INVALID_DATA));
        EXPECT_NE(e.Detail().text.find(WidePath("zero.glsl")), std::wstring::npos) << "names the file";
        EXPECT_NE(e.Detail().text.find(L"line 3,"), std::wstring::npos) << "names the line";
    }
    WriteBytes("ctrlz.glsl", "a\x1A\r\nb\x1A");
    EXPECT_EQ(ReadTextFile(WidePath("ctrlz.glsl")), "a\x1A\nb\x1A\n");
}

TEST_F(TextFileTest, WindowsPathWithBackslashesAndUnicodeNames)
{
    MakeFolder("glsl");
    WriteBytes("glsl/pixel\xC3\xA9.glsl", "p\r\n");
    std::wstring path = WidePath("glsl") + L"\\pixel\u00E9.glsl";
    EXPECT_EQ(ReadTextFile(path), "p\n");
    WriteTextFile(path, "q\n");
    EXPECT_EQ(Bytes("glsl/pixel\xC3\xA9.glsl"), "q\r\n");
}

TEST_F(TextFileTest, RelativePathFromTheCurrentFolderWithCharactersBeyondTheBasicPlane)
{
    MakeFolder("glsl");
    // An accent, a Greek letter and an emoji (two UTF-16 units on Windows).
    WriteBytes("glsl/sch\xC3\xA9ma-\xCF\x80-\xF0\x9F\x98\x80.glsl", "void main() {}\r\n");
    const std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(m_dir);
    std::string text;
    EXPECT_NO_THROW(text = ReadTextFile(L"glsl\\sch\u00E9ma-\u03C0-\U0001F600.glsl"));
    std::filesystem::current_path(previous);
    EXPECT_EQ(text, "void main() {}\n");
}

TEST_F(TextFileTest, WritingPutsCrLfOnDiskAndRoundTrips)
{
    WriteTextFile(WidePath("w.glsl"), "x\ny");
    EXPECT_EQ(Bytes("w.glsl"), "x\r\ny");
    WriteBytes("r.glsl", "one\r\ntwo\r\n");
    WriteTextFile(WidePath("r.glsl"), ReadTextFile(WidePath("r.glsl")));
    EXPECT_EQ(Bytes("r.glsl"), "one\r\ntwo\r\n");
    WriteTextFile(WidePath("r.glsl"), "first\nsecond\nthird\n");
    EXPECT_EQ(Bytes("r.glsl"), "first\r\nsecond\r\nthird\r\n");
    EXPECT_EQ(EntryCount(), 2u) << "a temporary file was left behind";
}

TEST_F(TextFileTest, FolderInPlaceOfTheFileFailsAndStaysUntouched)
{
    MakeFolder("target.glsl");
    WriteBytes("target.glsl/inside", "keep");
    ExpectSaveFails(WidePath("target.glsl"), "text\n", ERROR_ACCESS_DENIED);
    EXPECT_EQ(Bytes("target.glsl/inside"), "keep");
    EXPECT_EQ(EntryCount(), 1u);
}

TEST_F(TextFileTest, MissingFolderCannotBeSaved)
{
    ExpectSaveFails(WidePath("no-such-folder/x.glsl"), "text\n", kFolderNotFound);
    EXPECT_EQ(EntryCount(), 0u);
}

TEST_F(TextFileTest, HardLinkedFileIsRewrittenInPlaceAndKeepsItsLink)
{
    // An ordinary file is replaced by a new one: the temporary file and rename stay the rule.
    WriteBytes("single.glsl", "old\r\n");
    const std::uint64_t replaced = Identity("single.glsl");
    WriteTextFile(WidePath("single.glsl"), "new\n");
    EXPECT_NE(Identity("single.glsl"), replaced);

    WriteBytes("a.glsl", "old\r\n");
    HardLink("a.glsl", "b.glsl");
    WriteTextFile(WidePath("a.glsl"), "a longer new text\n");
    EXPECT_EQ(Bytes("b.glsl"), "a longer new text\r\n");
    WriteTextFile(WidePath("b.glsl"), "short\n");
    EXPECT_EQ(Bytes("a.glsl"), "short\r\n") << "the end of the longer text was left";
    EXPECT_EQ(Identity("a.glsl"), Identity("b.glsl"));
    EXPECT_EQ(EntryCount(), 3u) << "a temporary file was left behind";
}

TEST_F(TextFileTest, NameTooLongForATemporaryNameBesideItIsRewrittenInPlace)
{
    // A name of 250 characters leaves no room for the temporary file's longer one.
    const std::string longName(250, 'n');
    WriteBytes(longName, "old\r\n");
    const std::uint64_t identity = Identity(longName);
    WriteTextFile(WidePath(longName), "new\n");
    EXPECT_EQ(Bytes(longName), "new\r\n");
    EXPECT_EQ(Identity(longName), identity);
    EXPECT_EQ(EntryCount(), 1u) << "a temporary file was left behind";
}
