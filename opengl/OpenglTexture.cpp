// Creating textures and loading their images with mipmaps.
#include "opengl/OpenglTexture.h"

#include "common/Exception.h"
#include "opengl/OpenglException.h"

namespace OpenglDriver {

OpenglTexture::OpenglTexture()
{
    glGenTextures(1, &id);
    CheckGlError();
    if (id == 0) {
        ThrowDriverFailure(L"OpenGL gave no texture name.");
    }
    glBindTexture(target, id);
    CheckGlError();
    glTexParameteri(target, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(target, GL_TEXTURE_WRAP_T, GL_REPEAT);
    glTexParameteri(target, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
    glTexParameteri(target, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    CheckGlError();
}

OpenglTexture::~OpenglTexture()
{
    glDeleteTextures(1, &id);
}

void OpenglTexture::Load(uint32_t width, uint32_t height, const uint8_t* pixels)
{
    glBindTexture(target, id);
    CheckGlError();
    // Rows of any width are packed tightly.
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    // Contexts before 3.0 without the framebuffer extension build mipmaps while loading instead.
    const bool generate = glGenerateMipmap != nullptr;
    if (!generate) {
        glTexParameteri(target, GL_GENERATE_MIPMAP, GL_TRUE);
    }
    glTexImage2D(target, 0, GL_RGBA8, static_cast<GLsizei>(width), static_cast<GLsizei>(height), 0, GL_RGBA,
                 GL_UNSIGNED_BYTE, pixels);
    CheckGlError();
    if (generate) {
        glGenerateMipmap(target);
        CheckGlError();
    }
}

}  // namespace OpenglDriver
