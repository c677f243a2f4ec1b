// A picture drawn into no window: a framebuffer object with an 8-bit RGBA colour buffer and a
// depth buffer of a given size, and reading its pixels back.
#pragma once

#include <GL/glew.h>

#include <cstdint>

#include <boost/noncopyable.hpp>

namespace OpenglDriver {

class OpenglFramebuffer : boost::noncopyable {
public:
    // Makes the buffers and draws into them from now on, over their whole size. Throws
    // Common::Exception when the driver has no framebuffer objects or cannot make one this size.
    OpenglFramebuffer(uint32_t width, uint32_t height);
    // Draws into the default framebuffer again and deletes the buffers.
    ~OpenglFramebuffer();

    // The pixels drawn in the `width` x `height` corner at the origin, four bytes each (red, green,
    // blue, alpha), rows from the bottom up, each row `rowPixels` pixels after the one before.
    void Read(uint32_t width, uint32_t height, uint8_t* pixels, uint32_t rowPixels) const;

    uint32_t m_width;
    uint32_t m_height;
    GLuint m_framebuffer;
    GLuint m_colour;
    GLuint m_depth;
};

}  // namespace OpenglDriver
