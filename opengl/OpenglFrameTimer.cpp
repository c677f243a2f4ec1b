// Timing frames on the GPU with a ring of GL_TIME_ELAPSED queries.
#include "opengl/OpenglFrameTimer.h"

#include "opengl/OpenglException.h"

namespace OpenglDriver {

bool OpenglFrameTimer::Available()
{
    return GLEW_ARB_timer_query || GLEW_VERSION_3_3;
}

OpenglFrameTimer::OpenglFrameTimer()
    : m_queries()
{
    glGenQueries(static_cast<GLsizei>(kRing), m_queries);
    CheckGlError();
}

OpenglFrameTimer::~OpenglFrameTimer()
{
    if (m_counting) {
        glEndQuery(GL_TIME_ELAPSED);
    }
    glDeleteQueries(static_cast<GLsizei>(kRing), m_queries);
}

void OpenglFrameTimer::BeginFrame()
{
    if (m_counting || m_pending == kRing) {
        return;
    }
    glBeginQuery(GL_TIME_ELAPSED, m_queries[(m_first + m_pending) % kRing]);
    CheckGlError();
    ++m_pending;
    m_counting = true;
}

void OpenglFrameTimer::EndFrame()
{
    if (!m_counting) {
        return;
    }
    glEndQuery(GL_TIME_ELAPSED);
    CheckGlError();
    m_counting = false;
}

bool OpenglFrameTimer::TakeResult(double& seconds)
{
    const size_t ended = m_counting ? m_pending - 1 : m_pending;
    if (ended == 0) {
        return false;
    }
    GLint available = 0;
    glGetQueryObjectiv(m_queries[m_first], GL_QUERY_RESULT_AVAILABLE, &available);
    if (!available) {
        CheckGlError();
        return false;
    }
    GLuint64 nanoseconds = 0;
    glGetQueryObjectui64v(m_queries[m_first], GL_QUERY_RESULT, &nanoseconds);
    CheckGlError();
    m_first = (m_first + 1) % kRing;
    --m_pending;
    seconds = static_cast<double>(nanoseconds) * 1e-9;
    return true;
}

}  // namespace OpenglDriver
