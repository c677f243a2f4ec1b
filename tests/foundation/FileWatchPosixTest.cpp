// Following a file where only POSIX systems have the case: news names the file, so other files of
// its folder are no news; a symbolic link's target is followed in its own folder, and again when
// the link is pointed elsewhere; a folder removed and made again is watched again.
#include <filesystem>
#include <memory>
#include <string>

#include "FileWatchFixture.h"

TEST_F(FileWatchTest, OtherFilesOfTheFolderAreNoNews)
{
    WriteBytes("shader.glsl", "one\n");
    std::unique_ptr<Platform::FileWatch> watch = Watch("shader.glsl");
    WriteBytes("shader.glsl.unsaved", "kept edits\n");
    WriteBytes("other.glsl", "x\n");
    std::filesystem::rename(Path("other.glsl"), Path("moved.glsl"));
    EXPECT_FALSE(NewsWithin(*watch, 300));
}

TEST_F(FileWatchTest, TheFileALinkPointsToIsFollowedInItsOwnFolderAndAfterTheLinkMoves)
{
    MakeFolder("real");
    MakeFolder("scene");
    WriteBytes("real/shader.glsl", "one\n");
    WriteBytes("real/second.glsl", "two\n");
    std::filesystem::create_symlink("../real/shader.glsl", Path("scene/shader.glsl"));
    std::unique_ptr<Platform::FileWatch> watch = Watch("scene/shader.glsl");
    WriteBytes("real/shader.glsl", "changed through the link\n");
    EXPECT_TRUE(NewsWithin(*watch, 2000));
    Drain(*watch);
    // The link pointed at another file: that is news, and from then on the other file is followed.
    std::filesystem::remove(Path("scene/shader.glsl"));
    std::filesystem::create_symlink("../real/second.glsl", Path("scene/shader.glsl"));
    EXPECT_TRUE(NewsWithin(*watch, 2000));
    Drain(*watch);
    WriteBytes("real/shader.glsl", "no longer followed\n");
    EXPECT_FALSE(NewsWithin(*watch, 300));
    WriteBytes("real/second.glsl", "followed now\n");
    EXPECT_TRUE(NewsWithin(*watch, 2000));
}

TEST_F(FileWatchTest, AFolderRemovedAndMadeAgainIsWatchedAgain)
{
    MakeFolder("glsl");
    WriteBytes("glsl/shader.glsl", "one\n");
    std::unique_ptr<Platform::FileWatch> watch = Watch("glsl/shader.glsl");
    std::filesystem::remove_all(Path("glsl"));
    EXPECT_TRUE(NewsWithin(*watch, 2000));
    Drain(*watch);
    MakeFolder("glsl");
    EXPECT_TRUE(NewsWithin(*watch, 2000));  // the file may be there again
    Drain(*watch);
    WriteBytes("glsl/shader.glsl", "made again\n");
    EXPECT_TRUE(NewsWithin(*watch, 2000));
}
