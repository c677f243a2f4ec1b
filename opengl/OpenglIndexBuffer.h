// A GL element buffer holding the six indices of a quad; deleted with the object.
#pragma once

#include <GL/glew.h>

#include <cstdint>

#include <boost/noncopyable.hpp>

#include "opengl/OpenglException.h"

namespace OpenglDriver {

template <class Index>
class OpenglIndexBuffer : boost::noncopyable {
public:
    static const uint64_t kIndexCount = 6;

    // Uploads exactly 6 indices from `indices`; leaves the buffer bound.
    explicit OpenglIndexBuffer(const Index* indices)
        : m_id(0)
        , m_count(0)
    {
        glGenBuffers(1, &m_id);
        CheckGlError();
        try {
            glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, m_id);
            CheckGlError();
            glBufferData(GL_ELEMENT_ARRAY_BUFFER, kIndexCount * sizeof(Index), indices,
                         GL_STATIC_DRAW);
            CheckGlError();
        } catch (...) {
            glDeleteBuffers(1, &m_id);
            throw;
        }
        m_count = kIndexCount;
    }

    ~OpenglIndexBuffer() { glDeleteBuffers(1, &m_id); }

    GLuint m_id;
    uint64_t m_count;
};

}  // namespace OpenglDriver
