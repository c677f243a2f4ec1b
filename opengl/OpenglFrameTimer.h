// The GPU's own time for each frame's drawing, from timer queries (GL_ARB_timer_query's
// GL_TIME_ELAPSED) begun as a frame's work begins and ended just before its buffers are swapped,
// kept in a small ring and read a few frames late, so that asking never makes the program wait
// for the GPU.
#pragma once

#include <GL/glew.h>

#include <cstddef>

#include <boost/noncopyable.hpp>

namespace OpenglDriver {

class OpenglFrameTimer : boost::noncopyable {
public:
    // Whether the current context offers timer queries.
    static bool Available();

    // Makes the ring of queries (the context must offer them).
    OpenglFrameTimer();
    // Deletes the queries; one still counting is ended first.
    ~OpenglFrameTimer();

    // Starts the frame's query, unless every query of the ring is still waiting to be read (the
    // frame then goes untimed) or one is counting already.
    void BeginFrame();
    // Ends the frame's query, when one is counting.
    void EndFrame();
    // The time of the oldest frame whose result the GPU has ready, in seconds; false when none is
    // ready yet. Never waits.
    bool TakeResult(double& seconds);

private:
    static const size_t kRing = 4;
    GLuint m_queries[kRing];
    // The oldest query waiting to be read and how many follow it; the last of them may still be
    // counting.
    size_t m_first = 0;
    size_t m_pending = 0;
    bool m_counting = false;
};

}  // namespace OpenglDriver
