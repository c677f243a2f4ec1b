// The copy of the unsaved edits beside the shader file: what an earlier run left (reported,
// never written over, moved aside to the first free name, removed once taken back) and this
// run's copy (written while the text differs from the file's, removed when it is the same).
#include <cstdio>
#include <memory>
#include <sys/stat.h>

#include "ViewerFixture.h"
#include "viewer/UnsavedEdits.h"

using Morvane::UnsavedEdits;
using namespace ViewerTest;

namespace {

bool Exists(const std::string& name)
{
    struct stat info {};
    return stat(name.c_str(), &info) == 0;
}

bool Mentions(const std::wstring& notice, const std::wstring& text)
{
    return notice.find(text) != std::wstring::npos;
}

}  // namespace

TEST(UnsavedEdits, AnEarlierCopyIsReportedMovedAsideToAFreeNameAndNeverWrittenOver)
{
    TemporaryFolder folder;
    folder.Write("shader.glsl", "file\r\n");
    folder.Write("shader.glsl.unsaved", "lost work\r\n");
    folder.Write("shader.glsl.unsaved.1", "older work\r\n");
    UnsavedEdits edits(L"shader.glsl", "file\n");
    EXPECT_TRUE(Mentions(edits.StandingNotice(), L"shader.glsl.unsaved,")) << "names the copy at start";

    edits.Keep("file\n");
    EXPECT_EQ(folder.Read("shader.glsl.unsaved"), "lost work\r\n") << "the file's own text needs no copy";

    edits.Keep("new work\n");
    EXPECT_EQ(folder.Read("shader.glsl.unsaved.1"), "older work\r\n");
    EXPECT_EQ(folder.Read("shader.glsl.unsaved.2"), "lost work\r\n");
    EXPECT_EQ(folder.Read("shader.glsl.unsaved"), "new work\r\n");
    EXPECT_TRUE(Mentions(edits.StandingNotice(), L"shader.glsl.unsaved.2")) << "says where it went";

    edits.FileChanged("new work\n");
    edits.Keep("new work\n");
    EXPECT_EQ(edits.StandingNotice(), L"") << "a save ends the notice";
    EXPECT_FALSE(Exists("shader.glsl.unsaved")) << "a saved text needs no copy";
    EXPECT_TRUE(Exists("shader.glsl.unsaved.2"));
}

// The user pastes the earlier run's text back and deletes its copy before typing: there is then
// nothing to move aside, and this run's edits are kept as always.
TEST(UnsavedEdits, AnEarlierCopyRemovedByTheUserLeavesThisRunsEditsKept)
{
    TemporaryFolder folder;
    folder.Write("d.glsl.unsaved", "lost work\r\n");
    UnsavedEdits edits(L"d.glsl", "file\n");
    ASSERT_EQ(remove("d.glsl.unsaved"), 0);
    edits.Keep("lost work, pasted back\n");
    EXPECT_EQ(folder.Read("d.glsl.unsaved"), "lost work, pasted back\r\n");
    EXPECT_FALSE(Exists("d.glsl.unsaved.1")) << "nothing was there to move aside";
    EXPECT_EQ(edits.StandingNotice(), L"");
}

TEST(UnsavedEdits, AnEarlierCopyTakenBackIsRemovedAndOneHoldingTheFileIsNoNews)
{
    TemporaryFolder folder;
    folder.Write("a.glsl.unsaved", "lost work\r\n");
    UnsavedEdits taken(L"a.glsl", "file\n");
    // The user copies the kept text over the shader file and presses Reload.
    taken.FileChanged("lost work\n");
    EXPECT_FALSE(Exists("a.glsl.unsaved"));
    EXPECT_EQ(taken.StandingNotice(), L"");

    folder.Write("b.glsl.unsaved", "file\r\n");
    UnsavedEdits same(L"b.glsl", "file\n");
    EXPECT_EQ(same.StandingNotice(), L"");
    same.Keep("edit\n");
    EXPECT_FALSE(Exists("b.glsl.unsaved.1")) << "nothing worth moving aside";
    EXPECT_EQ(folder.Read("b.glsl.unsaved"), "edit\r\n");
}

TEST(UnsavedEdits, ACopyThatCannotBeWrittenIsSaidWhileItLastsAndTheTextIsRemovedWhenItIsTheFilesAgain)
{
    TemporaryFolder folder;
    ASSERT_EQ(mkdir("c.glsl.unsaved", 0755), 0);
    UnsavedEdits edits(L"c.glsl", "file\n");
    EXPECT_EQ(edits.StandingNotice(), L"") << "a folder is no earlier copy";
    edits.Keep("edit\n");
    EXPECT_TRUE(Mentions(edits.StandingNotice(), L"not being kept"));
    EXPECT_TRUE(Mentions(edits.StandingNotice(), L"A folder stands where the file should be")) << "and why";

    ASSERT_EQ(rmdir("c.glsl.unsaved"), 0);
    edits.Keep("edit 2\n");
    EXPECT_EQ(edits.StandingNotice(), L"");
    EXPECT_EQ(folder.Read("c.glsl.unsaved"), "edit 2\r\n");
    edits.Keep("file\n");
    EXPECT_FALSE(Exists("c.glsl.unsaved"));
    edits.Keep("file\n");  // a copy already gone is no failure
    EXPECT_EQ(edits.StandingNotice(), L"");
}

// Two viewers on one scene: the first owns the usual copy, the second keeps its edits in a copy
// of its own and says where; neither writes over the other's, and the usual copy is free again
// once its owner has gone.
TEST(UnsavedEdits, ASecondViewerKeepsItsEditsInACopyOfItsOwnAndSaysWhere)
{
    TemporaryFolder folder;
    folder.Write("s.glsl", "file\r\n");
    auto first = std::make_unique<UnsavedEdits>(L"s.glsl", "file\n");
    first->Keep("first viewer\n");
    auto second = std::make_unique<UnsavedEdits>(L"s.glsl", "file\n");
    EXPECT_EQ(second->KeptPath(), L"s.glsl.unsaved-2");
    EXPECT_TRUE(Mentions(second->StandingNotice(), L"another Morvane")) << "says another viewer is open";
    EXPECT_TRUE(Mentions(second->StandingNotice(), L"s.glsl.unsaved-2")) << "and where its edits go";
    EXPECT_FALSE(Mentions(second->StandingNotice(), L"earlier run")) << "a live copy is no earlier run's";
    second->Keep("second viewer\n");
    first->Keep("first viewer, again\n");
    EXPECT_EQ(folder.Read("s.glsl.unsaved"), "first viewer, again\r\n");
    EXPECT_EQ(folder.Read("s.glsl.unsaved-2"), "second viewer\r\n");
    EXPECT_FALSE(Exists("s.glsl.unsaved.1")) << "nothing was moved aside";
    EXPECT_EQ(first->StandingNotice(), L"");

    first.reset();
    auto third = std::make_unique<UnsavedEdits>(L"s.glsl", "file\n");
    EXPECT_EQ(third->KeptPath(), L"s.glsl.unsaved");
    EXPECT_TRUE(Mentions(third->StandingNotice(), L"earlier run")) << "the gone viewer's copy is an earlier run's";
    EXPECT_FALSE(Mentions(third->StandingNotice(), L"s.glsl.unsaved-2")) << "a running viewer's copy is its own to report";

    // With all gone, the next viewer also names the copy the second one left, until a save.
    second.reset();
    third.reset();
    UnsavedEdits fourth(L"s.glsl", "file\n");
    EXPECT_EQ(fourth.KeptPath(), L"s.glsl.unsaved");
    const std::wstring notice = fourth.StandingNotice();
    EXPECT_TRUE(Mentions(notice, L"ended without saving; its edits are kept in s.glsl.unsaved-2."))
        << std::string(notice.begin(), notice.end());
    fourth.FileChanged("file\n");
    EXPECT_FALSE(Mentions(fourth.StandingNotice(), L"s.glsl.unsaved-2"));
    EXPECT_EQ(folder.Read("s.glsl.unsaved-2"), "second viewer\r\n") << "never removed nor written over";
}
