// Following a file from outside through the platform's watch, with real files: each way another
// program changes a file (written in place, a new file renamed over it, deleted, made again) is
// news; a file left alone is none. Runs on both systems.
#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>

#include "FileWatchFixture.h"

TEST_F(FileWatchTest, AWriteInPlaceIsNewsAndAQuietFileIsNone)
{
    WriteBytes("shader.glsl", "one\n");
    std::unique_ptr<Platform::FileWatch> watch = Watch("shader.glsl");
    EXPECT_FALSE(NewsWithin(*watch, 300));
    WriteBytes("shader.glsl", "two\n");
    EXPECT_TRUE(NewsWithin(*watch, 2000));
    Drain(*watch);
    EXPECT_FALSE(NewsWithin(*watch, 300));
}

TEST_F(FileWatchTest, ANewFileRenamedOverItIsNews)
{
    WriteBytes("shader.glsl", "one\n");
    std::unique_ptr<Platform::FileWatch> watch = Watch("shader.glsl");
    WriteBytes("shader.glsl.new", "two\n");
    Drain(*watch);  // on Windows, where the news names no file, the new file's own
    std::filesystem::rename(Path("shader.glsl.new"), Path("shader.glsl"));
    EXPECT_TRUE(NewsWithin(*watch, 2000));
}

TEST_F(FileWatchTest, DeletingAndMakingItAgainAreNewsEachTime)
{
    WriteBytes("shader.glsl", "one\n");
    std::unique_ptr<Platform::FileWatch> watch = Watch("shader.glsl");
    std::filesystem::remove(Path("shader.glsl"));
    EXPECT_TRUE(NewsWithin(*watch, 2000));
    Drain(*watch);
    WriteBytes("shader.glsl", "again\n");
    EXPECT_TRUE(NewsWithin(*watch, 2000));
}

TEST_F(FileWatchTest, AFileNotThereYetIsWatchedAndAMissingFolderIsRefusedWithItsName)
{
    std::unique_ptr<Platform::FileWatch> watch = Watch("later.glsl");
    WriteBytes("later.glsl", "made\n");
    EXPECT_TRUE(NewsWithin(*watch, 2000));

    std::wstring reason;
    EXPECT_EQ(Platform::WatchFile(WidePath("no-such-folder/shader.glsl"), reason), nullptr);
    EXPECT_NE(reason.find(L"no-such-folder"), std::wstring::npos) << std::string(reason.begin(), reason.end());
}
