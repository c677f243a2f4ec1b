// The scene's default camera and its shader files, the dialog's text and placement helpers, and
// the wording of failures.
#include <cstring>

#include "ViewerFixture.h"
#include "common/Exception.h"
#include "viewer/EditText.h"
#include "viewer/FailureText.h"

using Morvane::CustomScene;
using namespace ViewerTest;

namespace {

uint32_t Bits(float f)
{
    uint32_t bits;
    std::memcpy(&bits, &f, sizeof bits);
    return bits;
}

}  // namespace

TEST(DefaultCamera, ViewAndProjectionAsQuoted)
{
    RealTimeApp::Camera camera = Morvane::DefaultCamera();
    const float view[16] = {1, 0, 0, 0, 0, 0.9486833f, -0.3162278f, 0, 0, 0.3162278f, 0.9486834f, -31.622778f,
                            0, 0, 0, 1};
    for (int i = 0; i < 16; ++i) EXPECT_NEAR(camera.view.m[i], view[i], 1e-5f) << i;

    const Math::Matrix4x4& p = camera.projection;
    EXPECT_NEAR(p.At(0, 0), 1.81066f, 1e-5f);
    EXPECT_NEAR(p.At(1, 1), 2.4142134f, 1e-6f);
    EXPECT_EQ(Bits(p.At(2, 2)), 0xBF80068Du);
    EXPECT_EQ(Bits(p.At(2, 3)), 0xBE4CD20Bu);
    EXPECT_EQ(p.At(3, 2), -1.0f);
    EXPECT_EQ(p.At(3, 3), 0.0f);
}

TEST(DefaultCamera, ProjectionPutsNearAndFarPlanesAtClipDepthMinusAndPlusW)
{
    const Math::Matrix4x4 p = Morvane::DefaultCamera().projection;
    auto clip = [&](float z, int row) { return p.At(row, 2) * z + p.At(row, 3); };
    EXPECT_NEAR(clip(-0.1f, 2), -clip(-0.1f, 3), 1e-6f);
    EXPECT_NEAR(clip(-1000.0f, 2) / clip(-1000.0f, 3), 1.0f, 1e-5f);
}

TEST(CustomScene, ReadsBothShadersWithBareLineFeeds)
{
    ShaderFolder folder("a\r\nb");
    CustomScene scene;
    EXPECT_EQ(scene.m_pixelShaderPath, L"glsl\\pixelShader.glsl");
    EXPECT_EQ(scene.m_vertexShaderText, kVertexShader);
    EXPECT_EQ(scene.m_pixelShaderText, "a\nb\n");
    EXPECT_FALSE(scene.m_shaderChanged);
}

TEST(CustomScene, WithoutGlslFolderFailsOnTheVertexFile)
{
    TemporaryFolder empty;
    try {
        CustomScene scene;
        FAIL() << "a scene was built without shader files";
    } catch (const Common::Exception& e) {
        EXPECT_EQ(e.Message(), L"File couldn't be loaded.");
        EXPECT_NE(e.Detail().text.find(L"vertexShader.glsl"), std::wstring::npos) << "the cause names the file";
    }
}

TEST(CustomScene, EmptyPixelFileGivesEmptyText)
{
    ShaderFolder folder("");
    CustomScene scene;
    EXPECT_EQ(scene.m_pixelShaderText, "");
}

TEST(CustomScene, ReloadRaisesTheFlagEvenWhenTheReadFails)
{
    ShaderFolder folder("one\n");
    CustomScene scene;
    scene.ReloadPixelShader();
    EXPECT_TRUE(scene.m_shaderChanged);
    EXPECT_EQ(scene.m_pixelShaderText, "one\n");

    folder.Write("glsl/pixelShader.glsl", "two\r\n");
    scene.m_shaderChanged = false;
    scene.ReloadPixelShader();
    EXPECT_EQ(scene.m_pixelShaderText, "two\n");

    std::remove("glsl/pixelShader.glsl");
    scene.m_shaderChanged = false;
    EXPECT_THROW(scene.ReloadPixelShader(), Common::Exception);
    EXPECT_TRUE(scene.m_shaderChanged);
    EXPECT_EQ(scene.m_pixelShaderText, "two\n");
}

TEST(EditText, CrLfConversionIsIdempotentAndRemovalTakesEveryCarriageReturn)
{
    std::wstring text = L"a\nb\n";
    Morvane::ToCrLf(text);
    EXPECT_EQ(text, L"a\r\nb\r\n");
    Morvane::ToCrLf(text);
    EXPECT_EQ(text, L"a\r\nb\r\n");
    std::wstring leading = L"\nx\r\ny\n\n";
    Morvane::ToCrLf(leading);
    EXPECT_EQ(leading, L"\r\nx\r\ny\r\n\r\n");

    std::wstring mixed = L"\ra\r\nb\rc\r";
    Morvane::RemoveCarriageReturns(mixed);
    EXPECT_EQ(mixed, L"a\nbc");
}

TEST(EditText, EmptyTextPassesBothWaysAndUnicodeSurvives)
{
    EXPECT_EQ(Morvane::ToEditText(""), L"");
    EXPECT_EQ(Morvane::FromEditText(L""), "");
    EXPECT_EQ(Morvane::FromEditText(L"\r"), "");
    EXPECT_EQ(Morvane::ToEditText("// \xC3\xA9t\xC3\xA9\n"), L"// \u00E9t\u00E9\r\n");
    EXPECT_EQ(Morvane::FromEditText(L"// \U0001F600\r\n"), "// \xF0\x9F\x98\x80\n");
}

TEST(FailureText, SystemReasonFollowsTheMessageOnlyWhenTheSystemGaveOne)
{
    SetLastError(ERROR_FILE_NOT_FOUND);
    Common::Exception missing(L"File couldn't be loaded.");
    EXPECT_EQ(Morvane::FailureLogText(missing),
              L"File couldn't be loaded.\nThe system cannot find the file specified.");
    EXPECT_EQ(Morvane::FatalFailureText(missing),
              L"File couldn't be loaded.\nError 2: The system cannot find the file specified.");

    // A compiler's log ends in a line feed and comes with no system error at all.
    SetLastError(0);
    Common::Exception compile(L"0:1(6): error: syntax error\n");
    EXPECT_EQ(Morvane::FatalFailureText(compile), L"0:1(6): error: syntax error");

    SetLastError(ERROR_ACCESS_DENIED);
    Common::Exception unnamed{std::wstring()};
    EXPECT_EQ(Morvane::FatalFailureText(unnamed), L"An operation failed.\nError 5: Access is denied.");
}

// A dialog 500 x 560 outside and 494 wide inside (frame 6), beside an 800 x 600 main window.
TEST(PlaceBeside, BesideWhereItFitsElseInsideTheWorkArea)
{
    const RECT dialog{0, 0, 500, 560};
    const RECT client{0, 0, 494, 530};
    const RECT screen{0, 0, 1920, 1080};
    auto expectAt = [](const RECT& placed, LONG left, LONG top) {
        EXPECT_EQ(placed.left, left);
        EXPECT_EQ(placed.top, top);
        EXPECT_EQ(placed.right - placed.left, 500) << "the dialog keeps its width";
        EXPECT_EQ(placed.bottom - placed.top, 594) << "the main window's height less the frame";
    };

    // Where it fits: a frame's width right of and below the main window's corner.
    expectAt(Morvane::PlacementBeside(RECT{0, 0, 800, 600}, dialog, client, screen), 806, 6);
    expectAt(Morvane::PlacementBeside(RECT{100, 50, 900, 650}, dialog, client, screen), 906, 56);
    // Exactly touching the work area's right and bottom edges still counts as fitting.
    expectAt(Morvane::PlacementBeside(RECT{614, 486, 1414, 1086}, dialog, client,
                                      RECT{0, 0, 1920, 1086}),
             1420, 492);

    // Off the right edge (1280 wide): pulled left over the main window, top unchanged.
    expectAt(Morvane::PlacementBeside(RECT{8, 8, 808, 608}, dialog, client, RECT{0, 0, 1280, 740}),
             780, 14);
    // Off the bottom edge: lifted just enough.
    expectAt(Morvane::PlacementBeside(RECT{100, 600, 900, 1200}, dialog, client, screen), 906, 486);
    // Off both, in a work area that starts below a panel and right of a dock, on a second monitor.
    expectAt(Morvane::PlacementBeside(RECT{1960, 300, 2760, 900}, dialog, client,
                                      RECT{1970, 30, 3000, 800}),
             2500, 206);
    // Off the left and top edges of a work area that does not start at the origin.
    expectAt(Morvane::PlacementBeside(RECT{-900, -200, -100, 400}, dialog, client,
                                      RECT{50, 40, 1920, 1080}),
             50, 40);

    // Larger than the work area: its top-left corner at the work area's.
    expectAt(Morvane::PlacementBeside(RECT{10, 10, 810, 610}, dialog, client, RECT{20, 30, 420, 330}),
             20, 30);
}
