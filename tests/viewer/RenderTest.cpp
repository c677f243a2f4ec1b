// The renderer on a real context: screen2World, live recompilation with its log messages, the
// marks it puts on the lines the log names, and the fall-back to the last text that built,
// checked on the pixels drawn.
#include <GL/glew.h>
#include <gtk/gtk.h>
#include <gtksourceview/gtksource.h>

#include <cstring>

#include "ViewerFixture.h"
#include "tests/support/GlVersionAsked.h"
#include "viewer/EditText.h"

using namespace ViewerTest;

namespace {

Math::Vector3 WorldAt(const Math::Matrix4x4& screenToWorld, float x, float y, float depth)
{
    float in[4] = {x, y, depth, 1.0f};
    float out[4] = {0, 0, 0, 0};
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c) out[r] += screenToWorld.At(r, c) * in[c];
    }
    return Math::Vector3(out[0] / out[3], out[1] / out[3], out[2] / out[3]);
}

// Draws one frame as the main loop does and reads the centre pixel back.
std::array<int, 3> DrawAndReadCentre(Viewer& viewer)
{
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    Morvane::Render& render = *viewer.m_render;
    render.m_driver->DrawIndexedPrimitive(render.m_vertexBufferId, render.m_indexBufferId, render.m_instanceCount);
    glFinish();
    unsigned char pixel[4] = {0, 0, 0, 0};
    glReadPixels(100, 100, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
    return {pixel[0], pixel[1], pixel[2]};
}

const std::array<int, 3> kGreen = {51, 153, 77};
const std::array<int, 3> kBlue = {26, 51, 204};

void ExpectColour(const std::array<int, 3>& got, const std::array<int, 3>& expected)
{
    for (int i = 0; i < 3; ++i) EXPECT_NEAR(got[i], expected[i], 2) << "channel " << i;
}

// The source box's GtkSourceView, found among GTK's top-level windows.
GtkSourceView* FindSourceView(GtkWidget* widget)
{
    if (GTK_SOURCE_IS_VIEW(widget)) return GTK_SOURCE_VIEW(widget);
    GtkSourceView* found = nullptr;
    if (GTK_IS_CONTAINER(widget)) {
        GList* children = gtk_container_get_children(GTK_CONTAINER(widget));
        for (GList* child = children; child && !found; child = child->next) {
            found = FindSourceView(GTK_WIDGET(child->data));
        }
        g_list_free(children);
    }
    return found;
}

GtkSourceView* FindSourceView()
{
    GList* windows = gtk_window_list_toplevels();
    GtkSourceView* found = nullptr;
    for (GList* window = windows; window && !found; window = window->next) {
        found = FindSourceView(GTK_WIDGET(window->data));
    }
    g_list_free(windows);
    return found;
}

// "line:E" or "line:W" for each mark of the box, lines counted from 1, and the marks' tooltip
// texts.
std::vector<std::string> MarkedLines(GtkSourceView* view, std::string* tooltips = nullptr)
{
    GtkSourceBuffer* buffer = GTK_SOURCE_BUFFER(gtk_text_view_get_buffer(GTK_TEXT_VIEW(view)));
    std::vector<std::string> lines;
    for (int line = 0; line < gtk_text_buffer_get_line_count(GTK_TEXT_BUFFER(buffer)); ++line) {
        GSList* marks = gtk_source_buffer_get_source_marks_at_line(buffer, line, nullptr);
        for (GSList* mark = marks; mark; mark = mark->next) {
            const gchar* category = gtk_source_mark_get_category(GTK_SOURCE_MARK(mark->data));
            lines.push_back(std::to_string(line + 1) + (std::strstr(category, "error") ? ":E" : ":W"));
            GtkSourceMarkAttributes* attributes = gtk_source_view_get_mark_attributes(view, category, nullptr);
            gchar* text = gtk_source_mark_attributes_get_tooltip_text(attributes, GTK_SOURCE_MARK(mark->data));
            if (tooltips && text) *tooltips += std::string(text) + "\n";
            g_free(text);
        }
        g_slist_free(marks);
    }
    return lines;
}

class RenderTest : public ::testing::Test {
protected:
    RenderTest() : m_viewer(FlatPixelShader("0.2, 0.6, 0.3")) {}

    void Edit(const std::string& text) { m_viewer.Type(text); }

    Viewer m_viewer;
};

}  // namespace

TEST_F(RenderTest, QuadAndProgramAsBuilt)
{
    EXPECT_EQ(m_viewer.m_render->m_instanceCount, 2u);
    EXPECT_EQ(m_viewer.m_render->m_vertexBufferId, 0);
    EXPECT_EQ(m_viewer.m_render->m_indexBufferId, 0);
    EXPECT_EQ(m_viewer.m_render->m_lastGoodPixelShader, m_viewer.m_scene->m_pixelShaderText);
    EXPECT_EQ(m_viewer.Log(), L"");
    ExpectColour(DrawAndReadCentre(m_viewer), kGreen);
}

// The reruns on older contexts test those contexts only if the version asked for is in effect.
TEST_F(RenderTest, TheViewersContextHasTheOpenglVersionTheRunAsksFor)
{
    const std::string asked = TestSupport::GlVersionAsked();
    if (asked.empty()) {
        GTEST_SKIP() << "this run asks for no OpenGL version";
    }
    EXPECT_TRUE(TestSupport::HasGlVersion(asked));
}

TEST_F(RenderTest, ScreenToWorldOfTheDefaultCamera)
{
    const Math::Matrix4x4 s = m_viewer.m_render->ScreenToWorld();
    const Math::Vector3 nearCentre = WorldAt(s, 400, 300, 0);
    EXPECT_NEAR(nearCentre.x, 0.0f, 1e-4f);
    EXPECT_NEAR(nearCentre.y, 9.9683772f, 1e-4f);
    EXPECT_NEAR(nearCentre.z, 29.905132f, 1e-4f);
    const Math::Vector3 farCentre = WorldAt(s, 400, 300, 1);
    EXPECT_LT(farCentre.z, 0.0f) << "the far point lies beyond the origin";
    EXPECT_NEAR(farCentre.y / farCentre.z, 10.0f / 30.0f, 1e-3f) << "on the line through the eye and origin";
    const Math::Vector3 corner = WorldAt(s, 0, 0, 0);
    EXPECT_NEAR(corner.x, -0.0552285f, 1e-4f);
    EXPECT_NEAR(corner.y, 9.929081f, 1e-4f);
    EXPECT_NEAR(corner.z, 29.91823f, 1e-4f);
}

TEST_F(RenderTest, GoodEditCompilesAndIsReported)
{
    const std::string blue = FlatPixelShader("0.1, 0.2, 0.8");
    Edit(blue);
    EXPECT_EQ(m_viewer.Log(), L"Compilation succeeded!");
    EXPECT_EQ(m_viewer.m_render->m_lastGoodPixelShader, blue);
    ExpectColour(DrawAndReadCentre(m_viewer), kBlue);

    m_viewer.m_dialog->SetLog(L"");
    m_viewer.Frame();
    EXPECT_EQ(m_viewer.Log(), L"") << "a frame without a change writes nothing to the log";
}

TEST_F(RenderTest, SyntaxErrorShowsTheCompilerLogAndKeepsThePicture)
{
    const std::string good = m_viewer.m_scene->m_pixelShaderText;
    const std::string broken = "#version 120\nvoid main() { gl_FragColor = vec4(1.0) }\n";
    Edit(broken);
    const std::wstring log = m_viewer.Log();
    EXPECT_NE(log, L"");
    EXPECT_NE(log, L"Compilation succeeded!");
    EXPECT_NE(log.find(L"error"), std::wstring::npos) << std::string(log.begin(), log.end());
    EXPECT_EQ(m_viewer.m_render->m_lastGoodPixelShader, good);
    EXPECT_EQ(m_viewer.m_scene->m_pixelShaderText, broken) << "the scene keeps the failed text";
    ExpectColour(DrawAndReadCentre(m_viewer), kGreen);

    // The next frames neither recompile nor touch the log, and keep drawing.
    m_viewer.m_dialog->SetLog(L"untouched");
    m_viewer.Frame();
    EXPECT_EQ(m_viewer.Log(), L"untouched");
    ExpectColour(DrawAndReadCentre(m_viewer), kGreen);
}

TEST_F(RenderTest, BrokenEditMarksTheLinesItsLogNamesUntilATextBuilds)
{
    GtkSourceView* view = FindSourceView();
    ASSERT_NE(view, nullptr);
    const std::string broken = "#version 120\n"
                               "#extension GL_MORVANE_nothing : warn\n"
                               "void main()\n"
                               "{\n"
                               "    gl_FragColor = vec4(1.0) oops;\n"
                               "}\n";
    // The box holds the text the edit carries, as when the user typed it.
    SetWindowTextW(m_viewer.m_dialog->m_sourceEdit, Morvane::ToEditText(broken).c_str());
    Edit(broken);
    std::string tooltips;
    EXPECT_EQ(MarkedLines(view, &tooltips), (std::vector<std::string>{"2:W", "5:E"}));
    EXPECT_NE(tooltips.find("warning: extension `GL_MORVANE_nothing' unsupported"), std::string::npos) << tooltips;
    EXPECT_NE(tooltips.find("error: syntax error"), std::string::npos) << tooltips;

    // A new line typed at the start of the broken line takes the mark down with its text, and
    // frames without an edit leave the marks where the text has taken them.
    GtkTextBuffer* buffer = gtk_text_view_get_buffer(GTK_TEXT_VIEW(view));
    GtkTextIter at;
    gtk_text_buffer_get_iter_at_line(buffer, &at, 4);
    gtk_text_buffer_insert(buffer, &at, "\n", -1);
    m_viewer.Frame();
    m_viewer.Frame();
    EXPECT_EQ(MarkedLines(view), (std::vector<std::string>{"2:W", "6:E"}));

    // A text that builds takes every mark away; one that fails with no line named puts none.
    Edit(FlatPixelShader("0.1, 0.2, 0.8"));
    EXPECT_TRUE(MarkedLines(view).empty());
    Edit(broken);
    EXPECT_EQ(MarkedLines(view).size(), 2u);
    Edit("#version 120\nvoid shade() { gl_FragColor = vec4(1.0); }\n");
    EXPECT_TRUE(MarkedLines(view).empty());
}

TEST_F(RenderTest, TextThatDoesNotLinkShowsTheLinkerLogAndKeepsThePicture)
{
    const std::string good = m_viewer.m_scene->m_pixelShaderText;
    Edit("#version 120\nvoid shade() { gl_FragColor = vec4(1.0); }\n");
    const std::wstring log = m_viewer.Log();
    EXPECT_NE(log.find(L"main"), std::wstring::npos) << std::string(log.begin(), log.end());
    EXPECT_EQ(m_viewer.m_render->m_lastGoodPixelShader, good);
    ExpectColour(DrawAndReadCentre(m_viewer), kGreen);
    m_viewer.Frame();
    ExpectColour(DrawAndReadCentre(m_viewer), kGreen);
}

TEST_F(RenderTest, EmptyTextFailsLikeAnyBrokenText)
{
    Edit("");
    EXPECT_NE(m_viewer.Log(), L"Compilation succeeded!");
    ExpectColour(DrawAndReadCentre(m_viewer), kGreen);
}

TEST_F(RenderTest, TextWithoutTotalTimeIsRefusedWithTheParameterMessage)
{
    Edit("#version 120\n"
         "uniform mat4 screen2World;\n"
         "uniform vec3 cameraPos;\n"
         "void main() {\n"
         "    vec4 p = screen2World * vec4(gl_FragCoord.xy, 0.0, 1.0);\n"
         "    gl_FragColor = vec4(0.9, 0.1, 0.1, 1.0);\n"
         "    if (p.w == 12345.0 || cameraPos.x == 12345.0) gl_FragColor = vec4(0.0);\n"
         "}\n");
    EXPECT_EQ(m_viewer.Log(),
              L"void OpenglProgram::SetParameter(const std::string& name, float value): Parameter location not "
              L"found; parameter name: totalTime");
    ExpectColour(DrawAndReadCentre(m_viewer), kGreen);
    m_viewer.Frame();
    ExpectColour(DrawAndReadCentre(m_viewer), kGreen);
}

TEST_F(RenderTest, UnchangedReloadRecompilesAndSucceeds)
{
    m_viewer.m_commands.push_back(Morvane::Command(Morvane::ReloadShader));
    m_viewer.Frame();
    EXPECT_EQ(m_viewer.Log(), L"Compilation succeeded!");
}

TEST_F(RenderTest, BrokenEditThenFixAgainDraws)
{
    Edit("#version 120\nvoid main() { oops }\n");
    Edit(FlatPixelShader("0.1, 0.2, 0.8"));
    EXPECT_EQ(m_viewer.Log(), L"Compilation succeeded!");
    ExpectColour(DrawAndReadCentre(m_viewer), kBlue);
}

TEST(InvalidUtf8Test, ANoticeNamesTheFileAndStaysAboveTheCompileResult)
{
    // Two invalid sequences; the validly encoded replacement character is not one of them.
    Viewer viewer("// caf\xE9, \xFF and a real \xEF\xBF\xBD\n" + FlatPixelShader("0.2, 0.6, 0.3"));
    const std::wstring notice = L"Note: pixelShader.glsl is not valid UTF-8; 2 invalid byte sequences were "
                                L"replaced with \uFFFD, and Save would write the replacements.";
    EXPECT_EQ(viewer.Log(), notice) << "shown as the dialog opens";

    viewer.m_commands.push_back(Morvane::Command(Morvane::ReloadShader));
    viewer.Frame();
    EXPECT_EQ(viewer.Log(), notice + L"\r\nCompilation succeeded!") << "a reload's result goes below it";

    viewer.Type(FlatPixelShader("0.1, 0.2, 0.8"));
    EXPECT_EQ(viewer.Log(), L"Compilation succeeded!") << "an edit's result replaces it";

    viewer.m_folder.Write("glsl/pixelShader.glsl", "#version 120\n// \xFF\nvoid main() { oops }\n");
    viewer.m_commands.push_back(Morvane::Command(Morvane::ReloadShader));
    viewer.Frame();
    const std::wstring log = viewer.Log();
    EXPECT_EQ(log.rfind(L"Note: pixelShader.glsl is not valid UTF-8; 1 invalid byte sequence was replaced", 0), 0u);
    EXPECT_NE(log.find(L"\r\n0:3"), std::wstring::npos) << "the compiler's log below the notice";
}
