// One GL shader object compiled from a GLSL text; deleted with the object.
#pragma once

#include <GL/glew.h>

#include <string>

#include <boost/noncopyable.hpp>

#include "opengl/ShaderSource.h"

namespace OpenglDriver {

class OpenglShader : boost::noncopyable {
public:
    // Compiles `text` (up to its first NUL character) for `stage`. Throws Common::Exception
    // whose message is the compiler's log when it does not compile.
    OpenglShader(const std::string& text, ShaderStage stage);
    ~OpenglShader();

    GLuint m_id;
    ShaderStage m_stage;
};

// Creates a shader object for `stage` and compiles `text` into it; returns its GL name.
GLuint CreateShader(const std::string& text, ShaderStage stage);

// Sources `shader` with `text` and compiles it. On failure throws Common::Exception whose
// message is exactly the compiler's log.
void CompileShader(GLuint shader, const std::string& text);

}  // namespace OpenglDriver
