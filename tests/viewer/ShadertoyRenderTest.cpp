// Texts in Shadertoy's form on a real context: compiler messages that name the user's lines in
// both shading-language versions the text can be wrapped for, the inputs reaching the picture,
// unused inputs being no error, and Save writing the user's text alone.
#include <GL/glew.h>

#include <array>
#include <fstream>
#include <iterator>
#include <string>

#include "ViewerFixture.h"
#include "common/Exception.h"
#include "opengl/OpenglShader.h"
#include "viewer/CompileLogLines.h"
#include "viewer/ShadertoyProgramText.h"

using namespace ViewerTest;

namespace {

std::string Narrow(const std::wstring& text)
{
    return std::string(text.begin(), text.end());
}

// The compiler's log for the Shadertoy text wrapped for `version`; empty when it compiles.
std::wstring CompileLog(const std::string& text, int version)
{
    try {
        const GLuint shader = OpenglDriver::CreateShader(Morvane::ShadertoyProgramText(text, version),
                                                         OpenglDriver::PixelShader);
        glDeleteShader(shader);
    } catch (const Common::Exception& e) {
        return e.Message();
    }
    return std::wstring();
}

// "line:E" or "line:W" for each line the log names.
std::vector<std::string> NamedLines(const std::wstring& log)
{
    std::vector<std::string> lines;
    for (const Platform::SourceMark& mark : Morvane::CompileLogLines(log)) {
        lines.push_back(std::to_string(mark.line) +
                        (mark.severity == Platform::SourceMarkSeverity::Error ? ":E" : ":W"));
    }
    return lines;
}

std::array<int, 3> DrawAndRead(Viewer& viewer, int x, int y)
{
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    Morvane::Render& render = *viewer.m_render;
    render.m_driver->DrawIndexedPrimitive(render.m_vertexBufferId, render.m_indexBufferId, render.m_instanceCount);
    glFinish();
    unsigned char pixel[4] = {0, 0, 0, 0};
    glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
    return {pixel[0], pixel[1], pixel[2]};
}

void ExpectColour(const std::array<int, 3>& got, const std::array<int, 3>& expected)
{
    for (int i = 0; i < 3; ++i) EXPECT_NEAR(got[i], expected[i], 2) << "channel " << i;
}

// A picture of its own coordinates over the surface: red x / width, green y / height.
const char kCoordinates[] =
    "void mainImage(out vec4 fragColor, in vec2 fragCoord)\n"
    "{\n"
    "    fragColor = vec4(fragCoord / iResolution.xy, 0.25, 0.5);\n"
    "}\n";

class ShadertoyRenderTest : public ::testing::Test {
protected:
    ShadertoyRenderTest() : m_viewer(FlatPixelShader("0.2, 0.6, 0.3")) {}

    void Edit(const std::string& text) { m_viewer.Type(text); }

    Viewer m_viewer;
};

}  // namespace

TEST_F(ShadertoyRenderTest, MessagesNameTheUsersLinesInGlsl130And330)
{
    for (int version : {130, 330}) {
        SCOPED_TRACE("GLSL " + std::to_string(version));
        const std::wstring third = CompileLog("void mainImage(out vec4 c, in vec2 p)\n"
                                              "{\n"
                                              "    c = vec4(1.0) oops;\n"
                                              "}\n",
                                              version);
        EXPECT_EQ(NamedLines(third), (std::vector<std::string>{"3:E"})) << Narrow(third);
        EXPECT_NE(third.find(L"0:3("), std::wstring::npos) << Narrow(third);

        // The first line, and the last of a text without a final line end.
        const std::wstring first = CompileLog("oops\nvoid mainImage(out vec4 c, in vec2 p) { c = vec4(1.0); }\n", version);
        EXPECT_EQ(NamedLines(first), (std::vector<std::string>{"1:E"})) << Narrow(first);
        const std::wstring last = CompileLog("void mainImage(out vec4 c, in vec2 p)\n{\n    c = vec4(1.0);\n} oops", version);
        EXPECT_EQ(NamedLines(last), (std::vector<std::string>{"4:E"})) << Narrow(last);

        // An input the text declares itself is the compiler's to refuse, on the text's line.
        const std::wstring declared = CompileLog("\nuniform float iTime;\nvoid mainImage(out vec4 c, in vec2 p) { c = vec4(iTime); }\n", version);
        EXPECT_EQ(NamedLines(declared), (std::vector<std::string>{"2:E"})) << Narrow(declared);

        // A mainImage with other qualifiers than Shadertoy's is refused on its own line.
        const std::wstring qualifiers = CompileLog("\n\nvoid mainImage(inout vec4 c, in vec2 p) { c = vec4(1.0); }\n", version);
        EXPECT_EQ(NamedLines(qualifiers), (std::vector<std::string>{"3:E"})) << Narrow(qualifiers);

        // texture2D, iGlobalTime and HW_PERFORMANCE are there in both.
        EXPECT_EQ(CompileLog("void mainImage(out vec4 c, in vec2 p)\n"
                             "{\n"
                             "    c = texture2D(iChannel0, p) + texture(iChannel1, p) * iGlobalTime * float(HW_PERFORMANCE);\n"
                             "}\n",
                             version),
                  L"");
    }
}

TEST_F(ShadertoyRenderTest, TheShippedExampleCompilesInGlsl130And330)
{
    std::ifstream file(MORVANE_SOURCE_DIR "/examples/shadertoy/glsl/pixelShader.glsl", std::ios::binary);
    const std::string example((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    ASSERT_NE(example.find("void mainImage("), std::string::npos);
    EXPECT_EQ(CompileLog(example, 130), L"");
    EXPECT_EQ(CompileLog(example, 330), L"");
}

TEST_F(ShadertoyRenderTest, ATextUsingOneInputDrawsWithAlphaOneAndSaysItCompiled)
{
    Edit(kCoordinates);
    EXPECT_EQ(m_viewer.Log(), L"Compilation succeeded!");
    EXPECT_EQ(m_viewer.m_render->m_lastGoodPixelShader, kCoordinates);
    // The surface is 800 x 600 whatever the window's size; pixel centres lie at .5.
    ExpectColour(DrawAndRead(m_viewer, 100, 200), {32, 85, 64});
    ExpectColour(DrawAndRead(m_viewer, 400, 30), {128, 13, 64});
    unsigned char pixel[4] = {0, 0, 0, 0};
    glReadPixels(100, 200, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
    EXPECT_EQ(pixel[3], 255) << "the colour is written with alpha 1";
}

TEST_F(ShadertoyRenderTest, FrameCountTimeAndItsDeltaAreTheAnimationClocks)
{
    Edit("void mainImage(out vec4 fragColor, in vec2 fragCoord)\n"
         "{\n"
         "    fragColor = vec4(float(iFrame) / 255.0, iTime / 4.0, iTimeDelta, 1.0);\n"
         "}\n");
    ASSERT_EQ(m_viewer.Log(), L"Compilation succeeded!");
    for (int frame = 0; frame < 3; ++frame) m_viewer.Frame(0.25f);
    const Morvane::AnimationClock& clock = m_viewer.m_scene->Clock();
    ASSERT_GE(clock.Frame(), 4);
    EXPECT_NEAR(clock.FrameSeconds(), 0.25f, 1e-6f);
    ExpectColour(DrawAndRead(m_viewer, 10, 10),
                 {clock.Frame(), static_cast<int>(clock.Time() / 4.0f * 255.0f + 0.5f), 64});

    // A stopped clock stops all three; iTimeDelta keeps the last frame's length, never 0.
    ASSERT_TRUE(clock.Running());
    m_viewer.m_scene->Clock().StartOrStop();
    m_viewer.Frame(0.5f);
    m_viewer.Frame(0.5f);
    ExpectColour(DrawAndRead(m_viewer, 10, 10),
                 {clock.Frame(), static_cast<int>(clock.Time() / 4.0f * 255.0f + 0.5f), 64});
}

TEST_F(ShadertoyRenderTest, ABrokenEditKeepsThePictureAndNamesItsLine)
{
    Edit(kCoordinates);
    const std::string broken = "void mainImage(out vec4 fragColor, in vec2 fragCoord)\n"
                               "{\n"
                               "    fragColor = vec4(iTime) +;\n"
                               "}\n";
    Edit(broken);
    const std::wstring log = m_viewer.Log();
    EXPECT_EQ(NamedLines(log), (std::vector<std::string>{"3:E"})) << Narrow(log);
    EXPECT_EQ(m_viewer.m_render->m_lastGoodPixelShader, kCoordinates);
    ExpectColour(DrawAndRead(m_viewer, 100, 200), {32, 85, 64});
    m_viewer.Frame();
    ExpectColour(DrawAndRead(m_viewer, 100, 200), {32, 85, 64});

    // Back to a text in the viewer's own form, with its three uniforms, as ever.
    Edit(FlatPixelShader("0.1, 0.2, 0.8"));
    EXPECT_EQ(m_viewer.Log(), L"Compilation succeeded!");
    ExpectColour(DrawAndRead(m_viewer, 100, 200), {26, 51, 204});
}

TEST_F(ShadertoyRenderTest, SaveWritesTheUsersTextAlone)
{
    Edit(kCoordinates);
    m_viewer.m_commands.push_back(Morvane::Command(Morvane::SaveShader));
    m_viewer.Frame();
    EXPECT_EQ(m_viewer.m_folder.Read("glsl/pixelShader.glsl"),
              "void mainImage(out vec4 fragColor, in vec2 fragCoord)\r\n{\r\n"
              "    fragColor = vec4(fragCoord / iResolution.xy, 0.25, 0.5);\r\n}\r\n");
}
