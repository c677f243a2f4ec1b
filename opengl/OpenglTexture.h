// A 2D texture the shaders sample: its GL target and name, deleted with the object, and its
// image, given as 8-bit RGBA rows from the bottom up, repeated beyond its edges and filtered
// linearly between the levels of its mipmaps.
#pragma once

#include <GL/glew.h>

#include <cstdint>

#include <boost/noncopyable.hpp>

namespace OpenglDriver {

class OpenglTexture : boost::noncopyable {
public:
    // Creates an empty texture with repeat and linear-mipmap filtering.
    OpenglTexture();
    ~OpenglTexture();

    // Replaces the image with `width` x `height` pixels (four bytes each, the bottom row first)
    // and builds its mipmaps. Leaves the texture bound to the active unit.
    void Load(uint32_t width, uint32_t height, const uint8_t* pixels);

    GLenum target = GL_TEXTURE_2D;
    GLuint id = 0;
};

}  // namespace OpenglDriver
