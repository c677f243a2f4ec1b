// GL error checking: the exception that carries a GL error code with its name, the check that
// raises it and the table of names, and the failures the driver reports in words.
#pragma once

#include <GL/glew.h>

#include <string>

#include "common/Exception.h"

namespace OpenglDriver {

// A Common::Exception with an empty message whose detail holds a GL error instead of a system
// error.
class OpenglException : public Common::Exception {
public:
    explicit OpenglException(const Common::ErrorDetail& detail);
};

// Throws Common::Exception with `message` (a compiler's or linker's log, or the driver's own
// words) and no system error: the thread's last error, left over from whatever call set it last,
// says nothing about why a shader or a program failed, and must not be reported as the cause.
[[noreturn]] void ThrowDriverFailure(const std::wstring& message);

// Reads glGetError once; throws OpenglException when it reports an error.
void CheckGlError();

// The symbolic name of a GL error value; empty for values it does not know.
std::wstring GlErrorToString(GLenum error);

}  // namespace OpenglDriver
