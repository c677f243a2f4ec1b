// Creating and compiling shader objects; a failed compile becomes an exception carrying the
// compiler's log.
#include "opengl/OpenglShader.h"

#include <vector>

#include "common/Exception.h"
#include "common/TextConversion.h"
#include "opengl/OpenglException.h"

namespace OpenglDriver {

OpenglShader::OpenglShader(const std::string& text, ShaderStage stage)
    : m_id(0)
    , m_stage(stage)
{
    m_id = CreateShader(std::string(text.c_str()), stage);
}

OpenglShader::~OpenglShader()
{
    glDeleteShader(m_id);
}

GLuint CreateShader(const std::string& text, ShaderStage stage)
{
    GLuint shader = glCreateShader(stage == PixelShader ? GL_FRAGMENT_SHADER : GL_VERTEX_SHADER);
    CheckGlError();
    if (shader == 0) {
        ThrowDriverFailure(std::wstring());
    }
    try {
        CompileShader(shader, text);
    } catch (...) {
        glDeleteShader(shader);
        throw;
    }
    return shader;
}

void CompileShader(GLuint shader, const std::string& text)
{
    const GLchar* source = text.c_str();
    const GLint length = static_cast<GLint>(text.size());
    glShaderSource(shader, 1, &source, &length);
    CheckGlError();
    glCompileShader(shader);
    CheckGlError();
    GLint status = GL_FALSE;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &status);
    CheckGlError();
    GLint logLength = 0;
    glGetShaderiv(shader, GL_INFO_LOG_LENGTH, &logLength);
    CheckGlError();
    if (status == GL_TRUE) {
        return;
    }
    std::vector<GLchar> log(static_cast<std::size_t>(logLength > 0 ? logLength : 0) + 1, '\0');
    GLsizei written = 0;
    glGetShaderInfoLog(shader, logLength, &written, log.data());
    CheckGlError();
    std::string text8(log.data());
    ThrowDriverFailure(text8.empty() ? std::wstring() : Common::Utf8ToWide(text8));
}

}  // namespace OpenglDriver
