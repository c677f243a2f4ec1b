// Camera control, shader text, save, reload and reset through the logic, on a real viewer.
#include <cmath>
#include <sys/stat.h>

#include "ViewerFixture.h"

using namespace ViewerTest;
using Morvane::Command;
using Morvane::MouseState;

namespace {

MouseState Wheel(int steps)
{
    MouseState mouse;
    mouse.button = Morvane::Wheel;
    mouse.wheelSteps = steps;
    return mouse;
}

MouseState LeftDrag(float fromX, float fromY, float toX, float toY)
{
    MouseState mouse;
    mouse.previousPosition = Math::Point2{fromX, fromY};
    mouse.position = Math::Point2{toX, toY};
    mouse.delta = Math::Point2{toX - fromX, toY - fromY};
    mouse.moved = true;
    mouse.buttonDown = true;
    mouse.button = Morvane::Left;
    return mouse;
}

void ExpectEye(const RealTimeApp::Camera& camera, float x, float y, float z)
{
    EXPECT_NEAR(camera.position.x, x, 1e-4f);
    EXPECT_NEAR(camera.position.y, y, 1e-4f);
    EXPECT_NEAR(camera.position.z, z, 1e-4f);
}

void ExpectViewMatchesEye(const RealTimeApp::Camera& camera)
{
    Math::Matrix4x4 expected;
    expected.SetLookAt(camera.position, camera.target, camera.up);
    for (int i = 0; i < 16; ++i) EXPECT_FLOAT_EQ(camera.view.m[i], expected.m[i]) << i;
}

class LogicTest : public ::testing::Test {
protected:
    LogicTest() : m_viewer(FlatPixelShader("0.2, 0.6, 0.3")) {}

    void Handle(float delta, const std::vector<Command>& commands)
    {
        m_viewer.m_logic->Update(delta, commands);
    }
    RealTimeApp::Camera& Camera() { return m_viewer.m_scene->m_camera; }

    Viewer m_viewer;
};

}  // namespace

TEST_F(LogicTest, WheelZoomsFifteenPercentOfTheWayAndOnlyTheSignCounts)
{
    Handle(0.1f, {Command(Wheel(1))});
    ExpectEye(Camera(), 0, 8.5f, 25.5f);
    ExpectViewMatchesEye(Camera());

    Camera() = m_viewer.m_logic->m_initialCamera;
    Handle(0.1f, {Command(Wheel(3))});
    ExpectEye(Camera(), 0, 8.5f, 25.5f);

    Camera() = m_viewer.m_logic->m_initialCamera;
    Handle(0.1f, {Command(Wheel(-1))});
    ExpectEye(Camera(), 0, 11.5f, 34.5f);

    Camera() = m_viewer.m_logic->m_initialCamera;
    Handle(0.1f, {Command(Wheel(0))});
    ExpectEye(Camera(), 0, 11.5f, 34.5f);
}

TEST_F(LogicTest, ZoomOnASlowFrameStopsShortOfTheTarget)
{
    // A step of 0.6 s is exactly as fast as asked (90 % of the way); 0.7 s and 2 s would reach
    // or pass the target and stop at 90 % instead, so the view stays finite.
    Handle(0.6f, {Command(Wheel(1))});
    ExpectEye(Camera(), 0, 1.0f, 3.0f);
    for (float seconds : {0.7f, 2.0f}) {
        Camera() = m_viewer.m_logic->m_initialCamera;
        Handle(seconds, {Command(Wheel(1))});
        ExpectEye(Camera(), 0, 1.0f, 3.0f);
        ExpectViewMatchesEye(Camera());
        for (int i = 0; i < 16; ++i) EXPECT_TRUE(std::isfinite(Camera().view.m[i]));
    }
    // Zooming out is never cut short.
    Camera() = m_viewer.m_logic->m_initialCamera;
    Handle(2.0f, {Command(Wheel(-1))});
    ExpectEye(Camera(), 0, 40.0f, 120.0f);
}

TEST_F(LogicTest, LeftDragOrbitsAboutTheOrigin)
{
    Handle(0.1f, {Command(LeftDrag(0, 0, 0.1f, 0))});
    ExpectEye(Camera(), -3.0f, 10.0f, 29.849623f);
    ExpectViewMatchesEye(Camera());
    EXPECT_EQ(Camera().target.x, 0.0f);
    EXPECT_EQ(Camera().target.y, 0.0f);
    EXPECT_EQ(Camera().target.z, 0.0f);

    Camera() = m_viewer.m_logic->m_initialCamera;
    Handle(0.1f, {Command(LeftDrag(0, 0, 0, 0.1f))});
    ExpectEye(Camera(), 0, 6.949874f, 30.849623f);
}

TEST_F(LogicTest, MovesWithoutTheLeftButtonHeldLeaveTheCamera)
{
    MouseState up = LeftDrag(0, 0, 0.5f, 0.5f);
    up.buttonDown = false;
    MouseState right = LeftDrag(0, 0, 0.5f, 0.5f);
    right.button = Morvane::Right;
    MouseState afterWheel = LeftDrag(0, 0, 0.5f, 0.5f);
    afterWheel.button = Morvane::None;
    MouseState neverMoved = LeftDrag(0, 0, 0.5f, 0.5f);
    neverMoved.moved = false;
    Handle(0.1f, {Command(up), Command(right), Command(afterWheel), Command(neverMoved)});
    ExpectEye(Camera(), 0, 10, 30);
}

TEST_F(LogicTest, OrbitNeverPutsTheEyeOnTheUpAxisNorMakesItNotANumber)
{
    // Dragging upwards again and again would carry the eye over the top of the target.
    for (int i = 0; i < 200; ++i) {
        Handle(0.05f, {Command(LeftDrag(0, -0.2f, 0, 0.2f)), Command(LeftDrag(0.3f, 0.3f, 0.3f, 0.3f))});
        ASSERT_FALSE(std::isnan(Camera().position.x) || std::isnan(Camera().position.y) ||
                     std::isnan(Camera().position.z));
        Math::Vector3 direction = Camera().position - Camera().target;
        direction.Normalize();
        ASSERT_GT(Math::Length(direction.Cross(Camera().up)), 1e-4f) << "after " << i << " drags";
        for (float element : Camera().view.m) ASSERT_FALSE(std::isnan(element));
    }
}

TEST_F(LogicTest, ResetRestoresTheStartCameraExactly)
{
    const RealTimeApp::Camera start = Camera();
    Handle(0.1f, {Command(LeftDrag(0, 0, 0.4f, 0.2f)), Command(Wheel(1)), Command(Wheel(-1))});
    Handle(0.1f, {Command(Morvane::ResetCamera)});
    EXPECT_EQ(std::memcmp(&Camera(), &start, sizeof start), 0);
}

// Frames as the loop runs them: the flag is the renderer's for one frame only.
TEST_F(LogicTest, ChangedTextReachesTheSceneAtOnceAndTheFlagOnceTheTypingPauses)
{
    const float delay = Morvane::CompileDelay::kQuietSeconds;
    auto frame = [this](float delta, const std::vector<Command>& commands) {
        m_viewer.m_scene->m_shaderChanged = false;
        Handle(delta, commands);
        return m_viewer.m_scene->m_shaderChanged;
    };
    EXPECT_FALSE(frame(delay * 2, {Command(Morvane::ShaderTextChanged, "first"),
                                   Command(Morvane::ShaderTextChanged, "second")}))
        << "the time before the edit does not count as a pause after it";
    EXPECT_EQ(m_viewer.m_scene->m_pixelShaderText, "second") << "Save and Reload see the text at once";
    EXPECT_FALSE(frame(delay * 0.6f, {}));
    // A key in a burst starts the wait again: the text typed past is never compiled.
    EXPECT_FALSE(frame(delay * 0.6f, {Command(Morvane::ShaderTextChanged, "third")}));
    EXPECT_FALSE(frame(delay * 0.6f, {}));
    EXPECT_TRUE(frame(delay * 0.6f, {})) << "the text the typist stopped on is compiled";
    EXPECT_EQ(m_viewer.m_scene->m_pixelShaderText, "third");
    EXPECT_FALSE(frame(delay * 5, {})) << "and only once";

    EXPECT_FALSE(frame(0.016f, {Command(Morvane::ShaderTextChanged, "")}));
    EXPECT_EQ(m_viewer.m_scene->m_pixelShaderText, "");
    EXPECT_TRUE(frame(delay, {})) << "a single key still gives its result";

    // A reload is compiled at once, with an edit typed after it in the same frame; nothing waits.
    m_viewer.m_folder.Write("glsl/pixelShader.glsl", "from the file\n");
    EXPECT_TRUE(frame(0.016f, {Command(Morvane::ShaderTextChanged, "typed"), Command(Morvane::ReloadShader),
                               Command(Morvane::ShaderTextChanged, "typed after")}));
    EXPECT_EQ(m_viewer.m_scene->m_pixelShaderText, "typed after");
    EXPECT_FALSE(frame(delay * 5, {}));
}

TEST_F(LogicTest, CommandsOfUnknownTypeAreIgnored)
{
    const std::string text = m_viewer.m_scene->m_pixelShaderText;
    const std::string onDisk = m_viewer.m_folder.Read("glsl/pixelShader.glsl");
    Handle(0.1f, {Command(99, "not a shader"), Command(-1, "nor this"), Command(Wheel(1))});
    EXPECT_FALSE(m_viewer.m_scene->m_shaderChanged);
    EXPECT_EQ(m_viewer.m_scene->m_pixelShaderText, text);
    EXPECT_EQ(m_viewer.m_folder.Read("glsl/pixelShader.glsl"), onDisk);
    EXPECT_EQ(m_viewer.Log(), L"");
    ExpectEye(Camera(), 0, 8.5f, 25.5f);  // the known command after them was handled
}

TEST_F(LogicTest, SaveWritesTheSceneTextWithCrLfWhetherOrNotItCompiles)
{
    Handle(0.1f, {Command(Morvane::ShaderTextChanged, "broken {\nline two\n"), Command(Morvane::SaveShader)});
    EXPECT_EQ(m_viewer.m_folder.Read("glsl/pixelShader.glsl"), "broken {\r\nline two\r\n");
}

TEST_F(LogicTest, FailedSaveIsReportedAndTheFrameGoesOn)
{
    std::remove("glsl/pixelShader.glsl");
    ASSERT_EQ(mkdir("glsl/pixelShader.glsl", 0755), 0);
    Handle(0.1f, {Command(Morvane::ShaderTextChanged, "kept\n"), Command(Morvane::SaveShader),
                  Command(Morvane::ResetCamera), Command(Wheel(1))});
    const std::wstring log = m_viewer.Log();
    EXPECT_EQ(log.rfind(L"File couldn't be saved.\r\n", 0), 0u) << std::string(log.begin(), log.end());
    EXPECT_GT(log.size(), std::wstring(L"File couldn't be saved.\r\n").size()) << "the reason follows";
    EXPECT_EQ(m_viewer.m_scene->m_pixelShaderText, "kept\n");
    ExpectEye(Camera(), 0, 8.5f, 25.5f);  // the commands after the save were handled
}

// The log box drops the notice that the edits are not kept as soon as a save makes the copy
// needless, and keeps the compile result below it.
TEST_F(LogicTest, SaveEndsTheNoticeThatEditsAreNotKeptAtOnce)
{
    ASSERT_EQ(mkdir("glsl/pixelShader.glsl.unsaved", 0755), 0);
    m_viewer.Type(FlatPixelShader("0.9, 0.1, 0.1"));
    const std::wstring before = m_viewer.Log();
    ASSERT_NE(before.find(L"not being kept"), std::wstring::npos) << std::string(before.begin(), before.end());
    Handle(0.1f, {Command(Morvane::SaveShader)});
    const std::wstring after = m_viewer.Log();
    EXPECT_EQ(after.find(L"not being kept"), std::wstring::npos) << std::string(after.begin(), after.end());
    EXPECT_NE(after.find(L"Compilation succeeded!"), std::wstring::npos) << std::string(after.begin(), after.end());
}

TEST_F(LogicTest, ReloadFillsTheSourceBoxWithCrLfAndRaisesTheFlag)
{
    m_viewer.m_folder.Write("glsl/pixelShader.glsl", "new\nfile\n");
    Handle(0.1f, {Command(Morvane::ReloadShader)});
    EXPECT_TRUE(m_viewer.m_scene->m_shaderChanged);
    EXPECT_EQ(m_viewer.m_scene->m_pixelShaderText, "new\nfile\n");
    EXPECT_EQ(m_viewer.Source(), L"new\r\nfile\r\n");
}

TEST_F(LogicTest, ReloadOfAnEmptyFileShowsAnEmptySourceBox)
{
    m_viewer.m_folder.Write("glsl/pixelShader.glsl", "");
    Handle(0.1f, {Command(Morvane::ReloadShader)});
    EXPECT_TRUE(m_viewer.m_scene->m_shaderChanged);
    EXPECT_EQ(m_viewer.m_scene->m_pixelShaderText, "");
    EXPECT_EQ(m_viewer.Source(), L"");
}

TEST_F(LogicTest, FailedReloadKeepsTextBoxAndFlagAndIsReported)
{
    const std::wstring before = m_viewer.Source();
    const std::string text = m_viewer.m_scene->m_pixelShaderText;
    std::remove("glsl/pixelShader.glsl");
    Handle(0.1f, {Command(Morvane::ReloadShader), Command(Wheel(1))});
    EXPECT_EQ(m_viewer.Log().rfind(L"File couldn't be loaded.\r\n", 0), 0u);
    EXPECT_FALSE(m_viewer.m_scene->m_shaderChanged);
    EXPECT_EQ(m_viewer.m_scene->m_pixelShaderText, text);
    EXPECT_EQ(m_viewer.Source(), before);
    ExpectEye(Camera(), 0, 8.5f, 25.5f);
}
