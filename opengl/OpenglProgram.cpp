// Linking shaders into a program, relinking after a stage's source is replaced, and uploading
// uniform parameters.
#include "opengl/OpenglProgram.h"

#include <vector>

#include "common/Exception.h"
#include "common/TextConversion.h"
#include "opengl/OpenglException.h"

namespace OpenglDriver {
namespace {

const wchar_t kFloatParameterMessage[] =
    L"void OpenglProgram::SetParameter(const std::string& name, float value): "
    L"Parameter location not found; parameter name: ";
const wchar_t kVectorParameterMessage[] =
    L"void OpenglProgram::SetParameter(const std::string& name, const Math::Vector3& vector): "
    L"Parameter location not found; parameter name: ";
const wchar_t kMatrixParameterMessage[] =
    L"void OpenglProgram::SetParameter(const std::string& name, const Math::Matrix4x4& matrix): "
    L"Parameter location not found; parameter name: ";

// Links `program` and throws Common::Exception carrying the linker's log when it does not link,
// so a text that compiles but cannot link (no main, stages that do not match) is reported as a
// compile error would be instead of surfacing later as a bare GL error.
void LinkProgram(GLuint program)
{
    glLinkProgram(program);
    CheckGlError();
    GLint status = GL_FALSE;
    glGetProgramiv(program, GL_LINK_STATUS, &status);
    CheckGlError();
    if (status == GL_TRUE) {
        return;
    }
    GLint logLength = 0;
    glGetProgramiv(program, GL_INFO_LOG_LENGTH, &logLength);
    CheckGlError();
    std::vector<GLchar> log(static_cast<std::size_t>(logLength > 0 ? logLength : 0) + 1, '\0');
    glGetProgramInfoLog(program, logLength, nullptr, log.data());
    CheckGlError();
    const std::string text(log.data());
    ThrowDriverFailure(text.empty() ? std::wstring(L"The shaders could not be linked.") : Common::Utf8ToWide(text));
}

}  // namespace

OpenglProgram::OpenglProgram(const std::vector<ShaderSource>& sources)
    : m_id(0)
{
    for (const ShaderSource& source : sources) {
        m_shaders.push_back(boost::shared_ptr<OpenglShader>(
            new OpenglShader(source.source, source.stage)));
    }
    m_id = glCreateProgram();
    CheckGlError();
    if (m_id == 0) {
        ThrowDriverFailure(std::wstring());
    }
    try {
        for (const boost::shared_ptr<OpenglShader>& shader : m_shaders) {
            glAttachShader(m_id, shader->m_id);
            CheckGlError();
        }
        LinkProgram(m_id);
    } catch (...) {
        glDeleteProgram(m_id);
        throw;
    }
}

OpenglProgram::~OpenglProgram()
{
    glDeleteProgram(m_id);
    m_shaders.clear();
}

void OpenglProgram::UpdateShader(const ShaderSource& source)
{
    for (const boost::shared_ptr<OpenglShader>& shader : m_shaders) {
        if (shader->m_stage == source.stage) {
            CompileShader(shader->m_id, source.source);
            LinkProgram(m_id);
            return;
        }
    }
    ThrowDriverFailure(L"UpdateShader can not find the stage");
}

GLint OpenglProgram::FindParameter(const std::string& name, const wchar_t* message)
{
    GLint location = glGetUniformLocation(m_id, name.c_str());
    CheckGlError();
    if (location < 0) {
        std::wstring text(message);
        if (!name.empty()) {
            text += Common::Utf8ToWide(name);
        }
        ThrowDriverFailure(text);
    }
    glUseProgram(m_id);
    CheckGlError();
    return location;
}

void OpenglProgram::SetParameter(const std::string& name, float value)
{
    GLint location = FindParameter(name, kFloatParameterMessage);
    glUniform1f(location, value);
    CheckGlError();
}

void OpenglProgram::SetParameter(const std::string& name, const Math::Vector3& vector)
{
    GLint location = FindParameter(name, kVectorParameterMessage);
    glUniform3f(location, vector.x, vector.y, vector.z);
    CheckGlError();
}

void OpenglProgram::SetParameter(const std::string& name, const Math::Matrix4x4& matrix)
{
    GLint location = FindParameter(name, kMatrixParameterMessage);
    glUniformMatrix4fv(location, 1, GL_TRUE, matrix.m);
    CheckGlError();
}

GLint OpenglProgram::ParameterLocation(const std::string& name) const
{
    const GLint location = glGetUniformLocation(m_id, name.c_str());
    CheckGlError();
    return location;
}

void OpenglProgram::Use()
{
    glUseProgram(m_id);
    CheckGlError();
}

void OpenglProgram::SetParameterAt(GLint location, float value)
{
    glUniform1f(location, value);
    CheckGlError();
}

void OpenglProgram::SetParameterAt(GLint location, int32_t value)
{
    glUniform1i(location, value);
    CheckGlError();
}

void OpenglProgram::SetParameterAt(GLint location, float x, float y)
{
    glUniform2f(location, x, y);
    CheckGlError();
}

void OpenglProgram::SetParameterAt(GLint location, const Math::Vector3& vector)
{
    glUniform3f(location, vector.x, vector.y, vector.z);
    CheckGlError();
}

void OpenglProgram::SetParameterAt(GLint location, const float (&vector)[4])
{
    glUniform4fv(location, 1, vector);
    CheckGlError();
}

void OpenglProgram::SetParameterAt(GLint location, const Math::Matrix4x4& matrix)
{
    glUniformMatrix4fv(location, 1, GL_TRUE, matrix.m);
    CheckGlError();
}

void OpenglProgram::SetFloatArrayAt(GLint location, const float* values, int32_t count)
{
    glUniform1fv(location, count, values);
    CheckGlError();
}

void OpenglProgram::SetVector3ArrayAt(GLint location, const float* values, int32_t count)
{
    glUniform3fv(location, count, values);
    CheckGlError();
}

}  // namespace OpenglDriver
