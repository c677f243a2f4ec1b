// What drawing needs of a texture: its GL target and name. Nothing creates textures yet; the
// driver only binds those registered with a texture unit.
#pragma once

#include <GL/glew.h>

namespace OpenglDriver {

struct OpenglTexture {
    GLenum target = GL_TEXTURE_2D;
    GLuint id = 0;
};

}  // namespace OpenglDriver
