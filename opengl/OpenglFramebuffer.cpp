// Making, drawing into and reading back a framebuffer object.
#include "opengl/OpenglFramebuffer.h"

#include <string>

#include "common/Exception.h"
#include "opengl/OpenglException.h"

namespace OpenglDriver {

OpenglFramebuffer::OpenglFramebuffer(uint32_t width, uint32_t height)
    : m_width(width)
    , m_height(height)
    , m_framebuffer(0)
    , m_colour(0)
    , m_depth(0)
{
    if (!GLEW_VERSION_3_0 && !GLEW_ARB_framebuffer_object) {
        throw Common::Exception(L"Drawing into no window needs framebuffer objects (OpenGL 3.0 or "
                                L"ARB_framebuffer_object), which this OpenGL does not have.",
                                Common::ErrorDetail());
    }
    glGenFramebuffers(1, &m_framebuffer);
    glGenRenderbuffers(1, &m_colour);
    glGenRenderbuffers(1, &m_depth);
    glBindRenderbuffer(GL_RENDERBUFFER, m_colour);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, static_cast<GLsizei>(width), static_cast<GLsizei>(height));
    glBindRenderbuffer(GL_RENDERBUFFER, m_depth);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, static_cast<GLsizei>(width), static_cast<GLsizei>(height));
    glBindFramebuffer(GL_FRAMEBUFFER, m_framebuffer);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, m_colour);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, m_depth);
    const GLenum status = glCheckFramebufferStatus(GL_FRAMEBUFFER);
    if (status != GL_FRAMEBUFFER_COMPLETE || glGetError() != GL_NO_ERROR) {
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        glDeleteRenderbuffers(1, &m_depth);
        glDeleteRenderbuffers(1, &m_colour);
        glDeleteFramebuffers(1, &m_framebuffer);
        throw Common::Exception(L"The driver cannot draw a picture of " + std::to_wstring(width) + L" x " +
                                    std::to_wstring(height) + L" pixels at once.",
                                Common::ErrorDetail());
    }
    glViewport(0, 0, static_cast<GLsizei>(width), static_cast<GLsizei>(height));
    CheckGlError();
}

OpenglFramebuffer::~OpenglFramebuffer()
{
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glDeleteRenderbuffers(1, &m_depth);
    glDeleteRenderbuffers(1, &m_colour);
    glDeleteFramebuffers(1, &m_framebuffer);
}

void OpenglFramebuffer::Read(uint32_t width, uint32_t height, uint8_t* pixels, uint32_t rowPixels) const
{
    glBindFramebuffer(GL_READ_FRAMEBUFFER, m_framebuffer);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glPixelStorei(GL_PACK_ROW_LENGTH, static_cast<GLint>(rowPixels));
    glReadPixels(0, 0, static_cast<GLsizei>(width), static_cast<GLsizei>(height), GL_RGBA, GL_UNSIGNED_BYTE, pixels);
    glPixelStorei(GL_PACK_ROW_LENGTH, 0);
    CheckGlError();
}

}  // namespace OpenglDriver
