// A linked GLSL program built from shader sources: replacing one stage's source in place and
// setting uniform parameters by name.
#pragma once

#include <GL/glew.h>

#include <cstdint>
#include <string>
#include <vector>

#include <boost/noncopyable.hpp>
#include <boost/shared_ptr.hpp>

#include "math/Matrix4x4.h"
#include "math/Vector3.h"
#include "opengl/OpenglShader.h"
#include "opengl/ShaderSource.h"

namespace OpenglDriver {

class OpenglProgram : boost::noncopyable {
public:
    // Compiles every source in order and links them. Throws when a source does not compile or
    // the program does not link, with the compiler's or the linker's log as the message.
    explicit OpenglProgram(const std::vector<ShaderSource>& sources);
    // Deletes the program, then releases its shaders.
    ~OpenglProgram();

    // Recompiles the first shader of `source.stage` from `source.source` and relinks. When the
    // compile fails the program is not relinked and draws on as before; when the link fails it
    // throws with the linker's log, and the caller relinks a text that built.
    void UpdateShader(const ShaderSource& source);

    // Set the uniform `name` and leave the program in use. Throw Common::Exception naming the
    // uniform when the program has no such active uniform.
    void SetParameter(const std::string& name, float value);
    void SetParameter(const std::string& name, const Math::Vector3& vector);
    void SetParameter(const std::string& name, const Math::Matrix4x4& matrix);

    // The location of the active uniform `name`, or -1 when the program has none of that name
    // (it is not declared, or the compiler dropped it as unused). Looked up once after a link,
    // it stays valid until the next link.
    GLint ParameterLocation(const std::string& name) const;

    // Put the program in use, then set the uniform at `location` (from ParameterLocation).
    void Use();
    void SetParameterAt(GLint location, float value);
    void SetParameterAt(GLint location, int32_t value);
    void SetParameterAt(GLint location, float x, float y);
    void SetParameterAt(GLint location, const Math::Vector3& vector);
    void SetParameterAt(GLint location, const float (&vector)[4]);
    void SetParameterAt(GLint location, const Math::Matrix4x4& matrix);
    // An array of `count` floats, or of `count` three-float vectors.
    void SetFloatArrayAt(GLint location, const float* values, int32_t count);
    void SetVector3ArrayAt(GLint location, const float* values, int32_t count);

    std::vector<boost::shared_ptr<OpenglShader>> m_shaders;
    GLuint m_id;

private:
    // The uniform's location; throws with `message` followed by the name when it is missing.
    GLint FindParameter(const std::string& name, const wchar_t* message);
};

}  // namespace OpenglDriver
