// Shaders and programs on a real compiler: building from two stages, compile errors carrying
// the compiler's own log and no stale system error, replacing a stage while drawing, and uniform
// parameters.
#include "DriverFixture.h"

#include <functional>
#include <vector>

namespace {

using namespace DriverTesting;
using OpenglDriver::OpenglProgram;
using OpenglDriver::ShaderSource;

const char kBrokenPixelShader[] =
    "#version 120\n"
    "void main() { gl_FragColor = vec4(1.0, 0.0, 0.0, 1.0) }\n";

const char kRedPixelShader[] =
    "#version 120\n"
    "void main() { gl_FragColor = vec4(1.0, 0.0, 0.0, 1.0); }\n";

const char kBluePixelShader[] =
    "#version 120\n"
    "void main() { gl_FragColor = vec4(0.0, 0.0, 1.0, 1.0); }\n";

// Shows three elements of the matrix: (row 0, column 3), (row 3, column 0), (row 2, column 1).
const char kMatrixPixelShader[] =
    "#version 120\n"
    "uniform mat4 screen2World;\n"
    "void main() {\n"
    "    gl_FragColor = vec4(screen2World[3][0], screen2World[0][3], screen2World[1][2], 1.0);\n"
    "}\n";

// The log that the GL compiler itself gives for `text` as a fragment shader.
std::string CompilerLog(const std::string& text)
{
    GLuint shader = glCreateShader(GL_FRAGMENT_SHADER);
    const GLchar* source = text.c_str();
    glShaderSource(shader, 1, &source, nullptr);
    glCompileShader(shader);
    GLint length = 0;
    glGetShaderiv(shader, GL_INFO_LOG_LENGTH, &length);
    std::vector<GLchar> log(static_cast<std::size_t>(length) + 1, '\0');
    glGetShaderInfoLog(shader, length, nullptr, log.data());
    glDeleteShader(shader);
    return std::string(log.data());
}

GLint ShaderType(GLuint shader)
{
    GLint type = 0;
    glGetShaderiv(shader, GL_SHADER_TYPE, &type);
    return type;
}

std::string ShaderText(GLuint shader)
{
    std::vector<GLchar> text(4096, '\0');
    glGetShaderSource(shader, static_cast<GLsizei>(text.size()), nullptr, text.data());
    return std::string(text.data());
}

GLint CurrentProgram()
{
    GLint program = 0;
    glGetIntegerv(GL_CURRENT_PROGRAM, &program);
    return program;
}

std::string MessageOf(const std::function<void()>& call)
{
    try {
        call();
    } catch (const Common::Exception& e) {
        return Narrow(e.Message());
    }
    return "(no exception)";
}

typedef DriverFixture ProgramTest;

TEST_F(ProgramTest, BuildsAndLinksTwoStagesInOrder)
{
    boost::shared_ptr<OpenglProgram> program =
        m_driver->CreateProgram({{kNormalVertexShader, OpenglDriver::VertexShader},
                                 {kColourPixelShader, OpenglDriver::PixelShader}})
            .lock();
    ASSERT_TRUE(program);
    ASSERT_EQ(2u, program->m_shaders.size());
    EXPECT_EQ(GL_VERTEX_SHADER, ShaderType(program->m_shaders[0]->m_id));
    EXPECT_EQ(GL_FRAGMENT_SHADER, ShaderType(program->m_shaders[1]->m_id));
    EXPECT_EQ(OpenglDriver::VertexShader, program->m_shaders[0]->m_stage);
    EXPECT_EQ(OpenglDriver::PixelShader, program->m_shaders[1]->m_stage);
    GLint linked = GL_FALSE, attached = 0;
    glGetProgramiv(program->m_id, GL_LINK_STATUS, &linked);
    glGetProgramiv(program->m_id, GL_ATTACHED_SHADERS, &attached);
    EXPECT_EQ(GL_TRUE, linked);
    EXPECT_EQ(2, attached);
}

TEST_F(ProgramTest, TheDriverOwnsItsPrograms)
{
    boost::weak_ptr<OpenglProgram> program =
        m_driver->CreateProgram({{kNormalVertexShader, OpenglDriver::VertexShader}});
    EXPECT_FALSE(program.expired());
    GLuint id = program.lock()->m_id;
    EXPECT_TRUE(glIsProgram(id));
    m_driver.reset();
    EXPECT_TRUE(program.expired());
}

TEST_F(ProgramTest, RefusesAnEmptySourceList)
{
    EXPECT_EQ("Invalid parameter: !shaders.size() OpenglDriver::CreateProgram",
              MessageOf([&] { m_driver->CreateProgram({}); }));
}

TEST_F(ProgramTest, CompileErrorMessageIsExactlyTheCompilerLog)
{
    const std::string log = CompilerLog(kBrokenPixelShader);
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log, MessageOf([&] {
                  m_driver->CreateProgram({{kNormalVertexShader, OpenglDriver::VertexShader},
                                           {kBrokenPixelShader, OpenglDriver::PixelShader}});
              }));
    // An empty pixel shader has no main function: the log of that failure, too.
    const std::string emptyLog = CompilerLog("");
    EXPECT_EQ(emptyLog, MessageOf([&] {
                  m_driver->CreateProgram({{"", OpenglDriver::PixelShader}});
              }));
    EXPECT_EQ(GL_NO_ERROR, glGetError());
}

TEST_F(ProgramTest, LinkErrorMessageIsTheLinkerLog)
{
    // Both texts compile; neither program links. The message is the linker's own log, both when
    // the program is built and when a stage is replaced.
    const char kNoMain[] = "#version 120\nvoid shade() { gl_FragColor = vec4(1.0); }\n";
    const char kUnwrittenVarying[] =
        "#version 120\nvarying vec3 other;\nvoid main() { gl_FragColor = vec4(other, 1.0); }\n";
    const std::string noMain = MessageOf([&] {
        m_driver->CreateProgram({{kNormalVertexShader, OpenglDriver::VertexShader},
                                 {kNoMain, OpenglDriver::PixelShader}});
    });
    EXPECT_NE(noMain.find("main"), std::string::npos) << noMain;
    EXPECT_NE(noMain.find("error"), std::string::npos) << noMain;
    EXPECT_EQ(GL_NO_ERROR, glGetError());

    boost::shared_ptr<OpenglProgram> program =
        m_driver->CreateProgram({{kNormalVertexShader, OpenglDriver::VertexShader},
                                 {kRedPixelShader, OpenglDriver::PixelShader}})
            .lock();
    const std::string unwritten =
        MessageOf([&] { program->UpdateShader({kUnwrittenVarying, OpenglDriver::PixelShader}); });
    EXPECT_NE(unwritten.find("other"), std::string::npos) << unwritten;
    EXPECT_EQ(GL_NO_ERROR, glGetError());
    EXPECT_NO_THROW(program->UpdateShader({kBluePixelShader, OpenglDriver::PixelShader}))
        << "a text that builds relinks the same program";
}

TEST_F(ProgramTest, FailuresInWordsClaimNoSystemErrorLeftOverFromEarlierCalls)
{
    const char kNoMain[] = "#version 120\nvoid shade() { gl_FragColor = vec4(1.0); }\n";
    const std::vector<std::function<void()>> failures = {
        [&] { m_driver->CreateProgram({{kBrokenPixelShader, OpenglDriver::PixelShader}}); },
        [&] { m_driver->CreateProgram({{kNormalVertexShader, OpenglDriver::VertexShader}, {kNoMain, OpenglDriver::PixelShader}}); },
        [&] {
            m_driver->CreateProgram({{kRedPixelShader, OpenglDriver::PixelShader}}).lock()->SetParameter("absent", 1.0f);
        },
    };
    for (const std::function<void()>& failure : failures) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);  // as some earlier, unrelated call may leave it
        try {
            failure();
            ADD_FAILURE() << "no failure";
        } catch (const Common::Exception& e) {
            EXPECT_EQ(0u, e.Detail().code) << "a shader's failure is no system error";
        }
    }
}

TEST_F(ProgramTest, TextIsCompiledUpToItsFirstNul)
{
    std::string text(kRedPixelShader);
    text += std::string(1, '\0') + "this is not GLSL";
    EXPECT_NO_THROW(m_driver->CreateProgram({{text, OpenglDriver::PixelShader}}));
}

TEST_F(ProgramTest, UpdateShaderKeepsDrawingThroughABrokenEdit)
{
    boost::weak_ptr<OpenglProgram> program =
        SetUpQuad(kNormalVertexShader, kRedPixelShader, Math::Vector3());
    const GLuint programId = program.lock()->m_id;
    ClearAndDraw(1);
    EXPECT_RGB(255, 0, 0, PixelAt(0.5f, 0.5f));

    const std::string log = CompilerLog(kBrokenPixelShader);
    EXPECT_EQ(log, MessageOf([&] {
                  program.lock()->UpdateShader({kBrokenPixelShader, OpenglDriver::PixelShader});
              }));
    ClearAndDraw(1);
    EXPECT_RGB(255, 0, 0, PixelAt(0.5f, 0.5f));

    EXPECT_NO_THROW(program.lock()->UpdateShader({kBluePixelShader, OpenglDriver::PixelShader}));
    ClearAndDraw(1);
    EXPECT_RGB(0, 0, 255, PixelAt(0.5f, 0.5f));
    // Replaced in place: same program, same shader objects.
    EXPECT_EQ(programId, program.lock()->m_id);
    EXPECT_EQ(2u, program.lock()->m_shaders.size());
}

TEST_F(ProgramTest, UpdateShaderFindsTheFirstShaderOfItsStage)
{
    // A second pixel stage that only defines a function, so the program links whichever main
    // the first one holds.
    const char kHelperPixelShader[] = "#version 120\nvec4 Unused() { return vec4(0.5); }\n";
    // Stage 5 compiles as a vertex shader and is found only as stage 5.
    const OpenglDriver::ShaderStage stage5 = static_cast<OpenglDriver::ShaderStage>(5);
    boost::shared_ptr<OpenglProgram> program =
        m_driver->CreateProgram({{kNormalVertexShader, stage5},
                                 {kRedPixelShader, OpenglDriver::PixelShader},
                                 {kHelperPixelShader, OpenglDriver::PixelShader}})
            .lock();
    EXPECT_EQ(GL_VERTEX_SHADER, ShaderType(program->m_shaders[0]->m_id));
    EXPECT_EQ("UpdateShader can not find the stage", MessageOf([&] {
                  program->UpdateShader({kNormalVertexShader, OpenglDriver::VertexShader});
              }));
    EXPECT_NO_THROW(program->UpdateShader({kNormalVertexShader, stage5}));

    // Two pixel stages: only the first one is re-sourced.
    program->UpdateShader({kBluePixelShader, OpenglDriver::PixelShader});
    EXPECT_EQ(kBluePixelShader, ShaderText(program->m_shaders[1]->m_id));
    EXPECT_EQ(kHelperPixelShader, ShaderText(program->m_shaders[2]->m_id));
    program->UpdateShader({kRedPixelShader, OpenglDriver::PixelShader});
    EXPECT_EQ(kRedPixelShader, ShaderText(program->m_shaders[1]->m_id));
    EXPECT_EQ(kHelperPixelShader, ShaderText(program->m_shaders[2]->m_id));
}

TEST_F(ProgramTest, SetParameterNamesTheMissingUniform)
{
    boost::shared_ptr<OpenglProgram> program =
        m_driver->CreateProgram({{kNormalVertexShader, OpenglDriver::VertexShader},
                                 {kUniformPixelShader, OpenglDriver::PixelShader}})
            .lock();
    glUseProgram(0);
    EXPECT_EQ("void OpenglProgram::SetParameter(const std::string& name, float value): "
              "Parameter location not found; parameter name: totalTime",
              MessageOf([&] { program->SetParameter("totalTime", 1.0f); }));
    EXPECT_EQ("void OpenglProgram::SetParameter(const std::string& name, const Math::Vector3& "
              "vector): Parameter location not found; parameter name: cameraPos",
              MessageOf([&] { program->SetParameter("cameraPos", Math::Vector3()); }));
    EXPECT_EQ("void OpenglProgram::SetParameter(const std::string& name, const Math::Matrix4x4& "
              "matrix): Parameter location not found; parameter name: screen2World",
              MessageOf([&] { program->SetParameter("screen2World", Math::Matrix4x4()); }));
    EXPECT_EQ("void OpenglProgram::SetParameter(const std::string& name, float value): "
              "Parameter location not found; parameter name: ",
              MessageOf([&] { program->SetParameter("", 1.0f); }));
    // A refused parameter does not put the program in use.
    EXPECT_EQ(0, CurrentProgram());

    program->SetParameter("tint", 0.5f);
    EXPECT_EQ(static_cast<GLint>(program->m_id), CurrentProgram());
}

TEST_F(ProgramTest, UniformRemovedByTheCompilerIsMissing)
{
    // `paint` is declared but unused, so the compiler drops it.
    const char unusedUniform[] =
        "#version 120\n"
        "uniform vec3 paint;\n"
        "void main() { gl_FragColor = vec4(1.0); }\n";
    boost::shared_ptr<OpenglProgram> program =
        m_driver->CreateProgram({{kNormalVertexShader, OpenglDriver::VertexShader},
                                 {unusedUniform, OpenglDriver::PixelShader}})
            .lock();
    EXPECT_EQ("void OpenglProgram::SetParameter(const std::string& name, const Math::Vector3& "
              "vector): Parameter location not found; parameter name: paint",
              MessageOf([&] { program->SetParameter("paint", Math::Vector3()); }));
}

TEST_F(ProgramTest, ParametersReachTheShader)
{
    boost::weak_ptr<OpenglProgram> program =
        SetUpQuad(kNormalVertexShader, kUniformPixelShader, Math::Vector3());
    program.lock()->SetParameter("paint", Math::Vector3(0.2f, 0.4f, 1.0f));
    program.lock()->SetParameter("tint", 0.5f);
    ClearAndDraw(1);
    EXPECT_RGB(26, 51, 128, PixelAt(0.5f, 0.5f));
}

TEST_F(ProgramTest, MatrixReachesTheShaderRowByRow)
{
    boost::weak_ptr<OpenglProgram> program =
        SetUpQuad(kNormalVertexShader, kMatrixPixelShader, Math::Vector3());
    Math::Matrix4x4 matrix;
    for (int i = 0; i < 16; ++i) {
        matrix.m[i] = 0.05f * static_cast<float>(i + 1);
    }
    program.lock()->SetParameter("screen2World", matrix);
    ClearAndDraw(1);
    // (row 0, column 3) is m[3], (row 3, column 0) is m[12], (row 2, column 1) is m[9].
    const Rgba pixel = PixelAt(0.5f, 0.5f);
    EXPECT_NEAR(matrix.At(0, 3) * 255.0f, pixel.r, 2);
    EXPECT_NEAR(matrix.At(3, 0) * 255.0f, pixel.g, 2);
    EXPECT_NEAR(matrix.At(2, 1) * 255.0f, pixel.b, 2);
}

}  // namespace
