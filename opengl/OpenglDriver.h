// The rendering device: the window's context, GLEW and the capability checks, the fixed render
// state, and every buffer and program, handed out as ids and weak references.
#pragma once

#include <GL/glew.h>

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include <boost/noncopyable.hpp>
#include <boost/shared_ptr.hpp>
#include <boost/weak_ptr.hpp>

#include "opengl/OpenglContext.h"
#include "opengl/OpenglFrameTimer.h"
#include "opengl/OpenglIndexBuffer.h"
#include "opengl/OpenglProgram.h"
#include "opengl/OpenglTexture.h"
#include "opengl/OpenglVertexBuffer.h"
#include "opengl/PixelFormatRequest.h"
#include "opengl/ShaderSource.h"
#include "opengl/Vertex.h"
#include "platform/Windows.h"

namespace OpenglDriver {

class OpenglDriver : boost::noncopyable {
public:
    // Creates a (multisampled where possible) context on `dc`, leaves it current, initialises
    // GLEW, refuses hardware without OpenGL 2.1 and the needed extensions, and sets the fixed
    // render state.
    explicit OpenglDriver(HDC dc);
    // The same checks and render state for the context already current on this thread, which
    // draws into no window (the caller owns it; Present does nothing).
    struct CurrentContext {};
    explicit OpenglDriver(CurrentContext);

    // Upload the first 4 vertices / 6 indices of the array into a new buffer and return its
    // id. Refuse a null array or a count below 4 / 6.
    int64_t CreateVertexBuffer(boost::shared_ptr<Vertex> vertices, std::size_t count);
    int64_t CreateVertexBuffer(boost::shared_ptr<int> indices, std::size_t count);

    // Compiles and links the sources (in order) into a program that the driver keeps.
    boost::weak_ptr<OpenglProgram> CreateProgram(const std::vector<ShaderSource>& shaders);
    void SetProgram(boost::weak_ptr<OpenglProgram> program);

    // Creates an empty texture that the driver keeps (see OpenglTexture for its sampling).
    boost::weak_ptr<OpenglTexture> CreateTexture();
    // From the next draw on, `texture` is bound to texture unit `unit` while drawing.
    void SetTextureUnit(boost::weak_ptr<OpenglTexture> texture, int32_t unit);
    // The draws bind no texture from the next one on.
    void ClearTextureUnits();
    // The largest width and height of a texture this OpenGL takes (GL_MAX_TEXTURE_SIZE).
    uint32_t MaxTextureSize() const;
    // GL_SHADING_LANGUAGE_VERSION, as the driver says it ("4.50", "1.30 Mesa ...").
    std::string ShadingLanguageVersion() const;

    // Draws the index buffer's triangles from the vertex buffer with the current program;
    // instanced unless `instanceCount` is exactly 1.
    void DrawIndexedPrimitive(int64_t vertexBufferId, int64_t indexBufferId,
                              uint64_t instanceCount);
    // Swaps the window's buffers; while frames are timed, the frame's timer query ends first, so
    // that it holds the frame's drawing and not the swap.
    void Present();
    // Times the frames presented from now on with `timer` (owned by the caller), or no longer
    // (null).
    void TimeFrames(OpenglFrameTimer* timer) { m_frameTimer = timer; }

private:
    OpenglDriver(HDC dc, const PixelFormatRequest& request);
    // GLEW, the capability checks and the fixed render state.
    void Initialise(bool loadFunctions);

    HDC m_dc;
    uint64_t m_width;
    uint64_t m_height;
    OpenglContext m_context;
    std::vector<boost::shared_ptr<OpenglVertexBuffer>> m_vertexBuffers;
    std::vector<boost::shared_ptr<OpenglIndexBuffer<int>>> m_indexBuffers;
    std::vector<boost::shared_ptr<OpenglProgram>> m_programs;
    std::vector<boost::shared_ptr<OpenglTexture>> m_textures;
    boost::weak_ptr<OpenglProgram> m_currentProgram;
    std::map<boost::weak_ptr<OpenglTexture>, int32_t> m_textureUnits;
    // The timer of the frames presented, while the frame time is shown.
    OpenglFrameTimer* m_frameTimer = nullptr;
};

}  // namespace OpenglDriver
