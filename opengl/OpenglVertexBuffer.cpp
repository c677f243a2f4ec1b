// Uploads a quad's four vertices into a GL array buffer.
#include "opengl/OpenglVertexBuffer.h"

#include "opengl/OpenglException.h"

namespace OpenglDriver {

namespace {
const GLsizeiptr kVertexBytes = 4 * sizeof(Vertex);
}

OpenglVertexBuffer::OpenglVertexBuffer(const Vertex* vertices)
    : m_id(0)
{
    glGenBuffers(1, &m_id);
    CheckGlError();
    try {
        glBindBuffer(GL_ARRAY_BUFFER, m_id);
        CheckGlError();
        glBufferData(GL_ARRAY_BUFFER, kVertexBytes, vertices, GL_STATIC_DRAW);
        CheckGlError();
    } catch (...) {
        glDeleteBuffers(1, &m_id);
        throw;
    }
}

OpenglVertexBuffer::~OpenglVertexBuffer()
{
    glDeleteBuffers(1, &m_id);
}

}  // namespace OpenglDriver
