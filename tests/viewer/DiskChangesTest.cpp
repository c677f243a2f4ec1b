// What a change of the pixel shader's file made by another program does to the editor: the table
// of editor states (no unsaved edits, unsaved edits) against what happened to the file, and the
// quiet wait that reads a burst of writes once.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "viewer/DiskChanges.h"
#include "viewer/LogNotice.h"

using Morvane::DiskChanges;
using Morvane::DiskReading;
using Morvane::DiskVerdict;

namespace {

const std::wstring kPath = L"glsl\\pixelShader.glsl";
const std::string kOld = "void main() { old(); }\n";
const std::string kNew = "void main() { new(); }\n";
const std::string kEdited = "void main() { typed(); }\n";

DiskReading Holds(const std::string& text)
{
    DiskReading reading;
    reading.text = text;
    return reading;
}

DiskReading Missing()
{
    DiskReading reading;
    reading.kind = DiskReading::Missing;
    return reading;
}

// One thing the file went through, as the watch and a reading after the quiet wait see it:
// `stirs` pieces of news `apart` seconds apart, then the contents found.
struct Happening {
    int stirs;
    float apart;
    DiskReading found;
};

// What the editor and the log end with.
struct Outcome {
    std::vector<DiskVerdict> verdicts;
    std::wstring notice;
};

// Runs the happenings in frames of 16 ms against an editor holding `editorText`; a TakeFile is
// followed by the reload that the logic does (the file's text becomes the known one).
Outcome Follow(const std::vector<Happening>& happenings, std::string editorText, bool ownWriteFirst = false)
{
    DiskChanges changes(kOld);
    if (ownWriteFirst) {
        changes.Known(kEdited);  // Save wrote this text; the editor may hold more typed since
    }
    Outcome outcome;
    const float frame = 0.016f;
    for (const Happening& happening : happenings) {
        for (int stir = 0; stir < happening.stirs; ++stir) {
            changes.Stirred();
            for (float waited = 0.0f; stir + 1 < happening.stirs && waited < happening.apart; waited += frame) {
                changes.Advance(frame);
                EXPECT_FALSE(changes.ReadDue()) << "read within a burst";
            }
        }
        // Frames until the quiet wait ends, and a few beyond it.
        for (int i = 0; i < 20; ++i) {
            changes.Advance(frame);
            if (changes.ReadDue()) {
                const DiskVerdict verdict = changes.Found(happening.found, editorText);
                outcome.verdicts.push_back(verdict);
                if (verdict == DiskVerdict::TakeFile) {
                    editorText = happening.found.text;
                    changes.Known(editorText);
                }
            }
        }
    }
    outcome.notice = changes.StandingNotice(kPath);
    return outcome;
}

struct Row {
    const char* what;
    std::vector<Happening> happenings;
    bool ownWrite;
    // For an editor without unsaved edits, then for one with.
    std::vector<DiskVerdict> cleanVerdicts;
    std::wstring cleanNotice;
    std::vector<DiskVerdict> editedVerdicts;
    std::wstring editedNotice;
};

}  // namespace

TEST(DiskChanges, EachChangeOfTheFileAgainstAnEditorWithAndWithoutUnsavedEdits)
{
    const std::wstring changed = Morvane::ChangedUnderEditsNotice(kPath);
    const std::wstring gone = Morvane::FileGoneNotice(kPath);
    const DiskVerdict take = DiskVerdict::TakeFile;
    const DiskVerdict notice = DiskVerdict::NoticeChanged;
    const DiskVerdict nothing = DiskVerdict::Nothing;
    const std::vector<Row> table = {
        {"written in place", {{1, 0.0f, Holds(kNew)}}, false, {take}, L"", {notice}, changed},
        // A new file written beside it, then renamed over it: two pieces of news at once.
        {"a new file renamed over it", {{2, 0.0f, Holds(kNew)}}, false, {take}, L"", {notice}, changed},
        {"a burst of writes 30 ms apart", {{6, 0.03f, Holds(kNew)}}, false, {take}, L"", {notice}, changed},
        {"deleted or moved away", {{1, 0.0f, Missing()}}, false, {notice}, gone, {notice}, gone},
        {"deleted, then made again", {{1, 0.0f, Missing()}, {1, 0.0f, Holds(kNew)}}, false, {notice, take}, L"",
         {notice, notice}, changed},
        {"deleted, then made again as it was", {{1, 0.0f, Missing()}, {1, 0.0f, Holds(kOld)}}, false,
         {notice, notice}, L"", {notice, notice}, L""},
        // The text Save wrote, coming back through the watch.
        {"the program's own write", {{2, 0.0f, Holds(kEdited)}}, true, {nothing}, L"", {nothing}, L""},
        // Touched, or written with the same text.
        {"written with the text it had", {{1, 0.0f, Holds(kOld)}}, false, {nothing}, L"", {nothing}, L""},
    };
    for (const Row& row : table) {
        SCOPED_TRACE(row.what);
        const Outcome clean = Follow(row.happenings, row.ownWrite ? kEdited : kOld, row.ownWrite);
        EXPECT_EQ(clean.verdicts, row.cleanVerdicts) << "no unsaved edits";
        EXPECT_EQ(clean.notice, row.cleanNotice) << "no unsaved edits";
        const Outcome edited = Follow(row.happenings, (row.ownWrite ? kEdited : kOld) + "// typed\n", row.ownWrite);
        EXPECT_EQ(edited.verdicts, row.editedVerdicts) << "unsaved edits";
        EXPECT_EQ(edited.notice, row.editedNotice) << "unsaved edits";
    }
}

TEST(DiskChanges, AChangeUnderEditsStandsUntilReloadOrSaveAndIsSaidOnce)
{
    DiskChanges changes(kOld);
    EXPECT_EQ(changes.Found(Holds(kNew), kEdited), DiskVerdict::NoticeChanged);
    // Another change while the notice stands changes nothing more.
    EXPECT_EQ(changes.Found(Holds(kNew + "// again\n"), kEdited), DiskVerdict::Nothing);
    EXPECT_EQ(changes.StandingNotice(kPath), Morvane::ChangedUnderEditsNotice(kPath));
    // Save writes the editor's text over the file: the notice ends, and the write is no news.
    EXPECT_TRUE(changes.Known(kEdited));
    EXPECT_EQ(changes.StandingNotice(kPath), L"");
    EXPECT_EQ(changes.Found(Holds(kEdited), kEdited), DiskVerdict::Nothing);
    EXPECT_FALSE(changes.Known(kEdited));
}

TEST(DiskChanges, TheFileGoingBackToWhatTheProgramKnewEndsTheNotice)
{
    DiskChanges changes(kOld);
    EXPECT_EQ(changes.Found(Holds(kNew), kEdited), DiskVerdict::NoticeChanged);
    EXPECT_EQ(changes.Found(Holds(kOld), kEdited), DiskVerdict::NoticeChanged);
    EXPECT_EQ(changes.StandingNotice(kPath), L"");
}

TEST(DiskChanges, AnEditorAlreadyHoldingTheNewTextTakesItLosingNothing)
{
    DiskChanges changes(kOld);
    EXPECT_EQ(changes.Found(Holds(kNew), kNew), DiskVerdict::TakeFile);
}

TEST(DiskChanges, WhatSaveWroteReadsBackWithAFinalLineFeedAndWithoutAByteOrderMark)
{
    // The editor's text lacks its last line feed; reading adds it, and drops a leading mark.
    DiskChanges changes("x");
    EXPECT_EQ(changes.Found(Holds("x\n"), "x"), DiskVerdict::Nothing);
    changes.Known("\xEF\xBB\xBFy");
    EXPECT_EQ(changes.Found(Holds("y\n"), "\xEF\xBB\xBFy"), DiskVerdict::Nothing);
    // An editor that differs only so has no unsaved edits: the file's new text is taken.
    EXPECT_EQ(changes.Found(Holds("z\n"), "y"), DiskVerdict::TakeFile);
}

TEST(DiskChanges, AFileThatCannotBeReadIsSaidWithItsReasonAndTheEditorKeepsItsText)
{
    DiskChanges changes(kOld);
    DiskReading unreadable;
    unreadable.kind = DiskReading::Unreadable;
    unreadable.reason = L"Access is denied.\r\n";
    EXPECT_EQ(changes.Found(unreadable, kOld), DiskVerdict::NoticeChanged);
    EXPECT_EQ(changes.StandingNotice(kPath), Morvane::FileUnreadableNotice(kPath, L"Access is denied."));
    EXPECT_EQ(changes.Found(unreadable, kOld), DiskVerdict::Nothing);
}

TEST(DiskChanges, NothingIsReadBeforeNewsNorTwiceForOneQuietSpell)
{
    DiskChanges changes(kOld);
    changes.Advance(1.0f);
    EXPECT_FALSE(changes.ReadDue());
    changes.Stirred();
    changes.Advance(DiskChanges::kQuietSeconds * 0.9f);
    EXPECT_FALSE(changes.ReadDue());
    changes.Advance(DiskChanges::kQuietSeconds * 0.2f);
    EXPECT_TRUE(changes.ReadDue());
    changes.Advance(1.0f);
    EXPECT_FALSE(changes.ReadDue());
}

TEST(LogNotice, FileChangesNameTheFileAndSayWhatReloadAndSaveDo)
{
    EXPECT_EQ(Morvane::ReloadedFromDiskNotice(kPath), L"Note: pixelShader.glsl changed on disk and was reloaded.");
    const std::wstring changed = Morvane::ChangedUnderEditsNotice(kPath);
    EXPECT_NE(changed.find(L"Reload takes the file's text"), std::wstring::npos);
    EXPECT_NE(changed.find(L"Save keeps the editor's text"), std::wstring::npos);
    EXPECT_EQ(Morvane::FileGoneNotice(L"a/b.glsl"),
              L"Note: b.glsl was deleted or moved away. The editor keeps its text, and Save writes it back.");
}
