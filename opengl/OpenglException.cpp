// The GL error check, the names of the GL error values, and the driver's failures in words.
#include "opengl/OpenglException.h"

namespace OpenglDriver {

OpenglException::OpenglException(const Common::ErrorDetail& detail)
    : Common::Exception(std::wstring())
{
    m_detail = detail;
}

void ThrowDriverFailure(const std::wstring& message)
{
    SetLastError(ERROR_SUCCESS);
    throw Common::Exception(message);
}

void CheckGlError()
{
    GLenum error = glGetError();
    Common::ErrorDetail detail;
    detail.code = error;
    detail.text = GlErrorToString(error);
    if (error == GL_NO_ERROR) {
        return;
    }
    throw OpenglException(detail);
}

std::wstring GlErrorToString(GLenum error)
{
    switch (error) {
    case 0x0000: return L"GL_NO_ERROR";
    case 0x0500: return L"GL_INVALID_ENUM";
    case 0x0501: return L"GL_INVALID_VALUE";
    case 0x0502: return L"GL_INVALID_OPERATION";
    case 0x0503: return L"GL_STACK_OVERFLOW";
    case 0x0504: return L"GL_STACK_UNDERFLOW";
    case 0x0505: return L"GL_OUT_OF_MEMORY";
    case 0x8031: return L"GL_TABLE_TOO_LARGE";
    default: return std::wstring();
    }
}

}  // namespace OpenglDriver
