// A GL array buffer holding the four vertices of a quad; deleted with the object.
#pragma once

#include <GL/glew.h>

#include <boost/noncopyable.hpp>

#include "opengl/Vertex.h"

namespace OpenglDriver {

class OpenglVertexBuffer : boost::noncopyable {
public:
    // Uploads exactly 4 vertices (96 bytes) from `vertices`; leaves the buffer bound.
    explicit OpenglVertexBuffer(const Vertex* vertices);
    ~OpenglVertexBuffer();

    GLuint m_id;
};

}  // namespace OpenglDriver
