// The command line: every form of viewing, rendering and asking, right and wrong; and the scene
// a name stands for, among real files.
#include <sys/stat.h>

#include "ViewerFixture.h"
#include "viewer/CommandLine.h"
#include "viewer/ScenePaths.h"

using namespace Morvane;
using ViewerTest::TemporaryFolder;

namespace {

CommandLine Parse(const std::vector<std::wstring>& arguments)
{
    return ParseCommandLine(arguments);
}

// The sentence the arguments are refused with; empty when they are accepted.
std::wstring Refusal(const std::vector<std::wstring>& arguments)
{
    try {
        ParseCommandLine(arguments);
    } catch (const UsageError& e) {
        return e.Sentence();
    }
    return std::wstring();
}

bool Mentions(const std::wstring& text, const std::wstring& part)
{
    return text.find(part) != std::wstring::npos;
}

}  // namespace

TEST(CommandLine, NoArgumentsViewTheCurrentFolderAndAnyScene)
{
    EXPECT_EQ(Parse({}).action, Action::View);
    EXPECT_EQ(Parse({}).scene, L"");
    EXPECT_EQ(Parse({L"scenes/sphere"}).scene, L"scenes/sphere");
    EXPECT_EQ(Parse({L"--", L"--odd name"}).scene, L"--odd name") << "-- ends the options";
    EXPECT_EQ(Parse({L"--help", L"--bogus"}).action, Action::Help) << "help wins over everything";
    EXPECT_EQ(Parse({L"--version"}).action, Action::Version);
}

TEST(CommandLine, RenderFormsWithTheirDefaultsAndOptionsOnEitherSide)
{
    const CommandLine still = Parse({L"--render", L"out.png"});
    EXPECT_EQ(still.action, Action::Render);
    EXPECT_EQ(still.render.kind, OutputKind::Still);
    EXPECT_EQ(still.render.width, 800u);
    EXPECT_EQ(still.render.height, 600u);
    EXPECT_EQ(still.render.time, 0.0);
    EXPECT_EQ(still.render.fps, 60.0);

    const CommandLine timed = Parse({L"scene", L"--size=3840x2160", L"--render=big.PNG", L"--time", L"2.5"});
    EXPECT_EQ(timed.scene, L"scene");
    EXPECT_EQ(timed.render.width, 3840u);
    EXPECT_EQ(timed.render.height, 2160u);
    EXPECT_EQ(timed.render.time, 2.5);

    const CommandLine sequence = Parse({L"--frames", L"10-19", L"--render", L"frames/f%05d.png", L"--fps", L"24"});
    EXPECT_EQ(sequence.render.kind, OutputKind::Sequence);
    EXPECT_EQ(sequence.render.first, 10u);
    EXPECT_EQ(sequence.render.last, 19u);
    EXPECT_EQ(sequence.render.fps, 24.0);
    EXPECT_EQ(Parse({L"--render", L"100%%-f%d.png", L"--frames", L"0-0"}).render.kind, OutputKind::Sequence);
    EXPECT_EQ(FrameFileName(L"frames/f%05d.png", 42), L"frames/f00042.png");
    EXPECT_EQ(FrameFileName(L"100%%-f%d.png", 1234567), L"100%-f1234567.png");
    EXPECT_EQ(FrameFileName(L"f%2d.png", 123), L"f123.png") << "a number wider than asked is whole";
    EXPECT_EQ(FrameFileName(L"f%3d.png", 7), L"f  7.png") << "padded as printf pads";

    for (const wchar_t* film : {L"a.mp4", L"a.webm", L"a.MKV"}) {
        const CommandLine line = Parse({L"--render", film, L"--frames", L"0-59"});
        EXPECT_EQ(line.render.kind, OutputKind::Film) << film;
    }
}

TEST(CommandLine, WrongUseSaysWhatIsWrongAndWhatWouldBeRight)
{
    EXPECT_TRUE(Mentions(Refusal({L"--bogus"}), L"There is no option --bogus"));
    EXPECT_TRUE(Mentions(Refusal({L"--render"}), L"--render needs a value"));
    EXPECT_TRUE(Mentions(Refusal({L"--render", L"a.png", L"--size", L"800"}), L"as --size 1920x1080"));
    EXPECT_TRUE(Mentions(Refusal({L"--render", L"a.png", L"--size", L"0x600"}), L"from 1 to 16384"));
    EXPECT_TRUE(Mentions(Refusal({L"--render", L"a.png", L"--size", L"16385x10"}), L"--size 16385x10"));
    EXPECT_TRUE(Mentions(Refusal({L"--render", L"a.png", L"--size", L"-8x10"}), L"not a size"));
    EXPECT_TRUE(Mentions(Refusal({L"--render", L"a.png", L"--time", L"soon"}), L"as --time 2.5"));
    EXPECT_TRUE(Mentions(Refusal({L"--render", L"a.png", L"--time", L"2,5"}), L"not a time")) << "a point, in any locale";
    EXPECT_TRUE(Mentions(Refusal({L"--render", L"a.png", L"--time", L"-1"}), L"not a time"));
    EXPECT_TRUE(Mentions(Refusal({L"--render", L"a.mp4", L"--frames", L"9-3"}), L"as --frames 0-239"));
    EXPECT_TRUE(Mentions(Refusal({L"--render", L"a.mp4", L"--frames", L"0-9", L"--fps", L"0"}), L"above 0"));
    EXPECT_TRUE(Mentions(Refusal({L"--render", L"a.png", L"--frames", L"0-9"}), L"a single still"));
    EXPECT_TRUE(Mentions(Refusal({L"--render", L"a.mp4", L"--time", L"1", L"--frames", L"0-9"}), L"--time is for a single still"));
    EXPECT_TRUE(Mentions(Refusal({L"--render", L"f%d.png", L"--time", L"1"}), L"--time is for a single still"));
    EXPECT_TRUE(Mentions(Refusal({L"--render", L"a.mp4"}), L"as --frames 0-239"));
    EXPECT_TRUE(Mentions(Refusal({L"--render", L"a.gif"}), L"names no output"));
    EXPECT_TRUE(Mentions(Refusal({L"--render", L"f%d-%d.png", L"--frames", L"0-1"}), L"names no output"));
    EXPECT_TRUE(Mentions(Refusal({L"--render", L"f%s.png"}), L"names no output"));
    EXPECT_TRUE(Mentions(Refusal({L"--size", L"640x480"}), L"add --render OUT"));
    EXPECT_TRUE(Mentions(Refusal({L"--render", L"a.png", L"--render", L"b.png"}), L"given twice"));
    EXPECT_TRUE(Mentions(Refusal({L"one", L"two"}), L"Name one scene only"));
}

TEST(ScenePaths, ANameStandsForAFolderWithGlslAFolderWithTheShaderOrAFile)
{
    TemporaryFolder folder;
    ASSERT_EQ(mkdir("project", 0755), 0);
    ASSERT_EQ(mkdir("project/glsl", 0755), 0);
    folder.Write("project/glsl/pixelShader.glsl", "p");
    folder.Write("project/glsl/vertexShader.glsl", "v");
    ASSERT_EQ(mkdir("flat", 0755), 0);
    folder.Write("flat/pixelShader.glsl", "p");
    folder.Write("flat/tunnel.frag", "p");

    ScenePaths project = ResolveScene(L"project/");
    EXPECT_EQ(project.pixelShader, L"project/glsl/pixelShader.glsl");
    EXPECT_EQ(project.vertexShader, L"project/glsl/vertexShader.glsl");
    EXPECT_EQ(SceneFolder(project.pixelShader), L"project");

    ScenePaths flat = ResolveScene(L"flat");
    EXPECT_EQ(flat.pixelShader, L"flat\\pixelShader.glsl");
    EXPECT_EQ(flat.vertexShader, L"") << "no vertex shader beside it: the built-in one";
    EXPECT_EQ(SceneFolder(flat.pixelShader), L"flat");

    ScenePaths file = ResolveScene(L"flat/tunnel.frag");
    EXPECT_EQ(file.pixelShader, L"flat/tunnel.frag");
    EXPECT_EQ(SceneFolder(file.pixelShader), L"flat");
    EXPECT_EQ(SceneFolder(CurrentFolderScene().pixelShader), L".");

    ASSERT_EQ(mkdir("empty", 0755), 0);
    try {
        ResolveScene(L"empty");
        ADD_FAILURE() << "a folder with no shader was taken for a scene";
    } catch (const UsageError& e) {
        EXPECT_TRUE(Mentions(e.Sentence(), L"The folder empty holds no scene"));
    }
    try {
        ResolveScene(L"missing");
        ADD_FAILURE() << "a missing scene was accepted";
    } catch (const UsageError& e) {
        EXPECT_TRUE(Mentions(e.Sentence(), L"There is no file or folder missing"));
    }
    EXPECT_NE(std::string(BuiltInVertexShader()).find("gl_InstanceIDARB"), std::string::npos);
}
