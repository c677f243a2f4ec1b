// The driver: context creation and capability checks, buffer creation, drawing and presenting.
#include "opengl/OpenglDriver.h"

#include <string>

#include "common/Exception.h"
#include "common/TextConversion.h"
#include "opengl/OpenglException.h"

namespace OpenglDriver {
namespace {

const std::size_t kQuadVertices = 4;
const std::size_t kQuadIndices = 6;

// Runs the pixel-format selection and keeps its result for the context.
PixelFormatRequest RequestPixelFormat()
{
    PixelFormatRequest request;
    request.pixelFormat = request.SelectPixelFormat();
    return request;
}

}  // namespace

OpenglDriver::OpenglDriver(HDC dc)
    : OpenglDriver(dc, RequestPixelFormat())
{
}

OpenglDriver::OpenglDriver(HDC dc, const PixelFormatRequest& request)
    : m_dc(dc)
    , m_width(800)
    , m_height(600)
    , m_context(dc, request.pixelFormat, &request.descriptor)
{
    Initialise(true);
}

OpenglDriver::OpenglDriver(CurrentContext)
    : m_dc(nullptr)
    , m_width(0)
    , m_height(0)
    , m_context()
{
    Initialise(false);
}

void OpenglDriver::Initialise(bool loadFunctions)
{
    GLenum result = loadFunctions ? glewInit() : GLEW_OK;
    if (result != GLEW_OK) {
        std::string text(reinterpret_cast<const char*>(glewGetErrorString(result)));
        throw Common::Exception(Common::Utf8ToWide(text));
    }
    if (!GLEW_VERSION_2_1) {
        throw Common::Exception(L"Opengl 2.1 required");
    }
    if (!GLEW_EXT_gpu_shader4) {
        throw Common::Exception(L"GLEW_EXT_gpu_shader4 not supported");
    }
    if (!GLEW_ARB_draw_instanced) {
        throw Common::Exception(L"ARB_draw_instanced not supported");
    }
    if (!GLEW_ARB_texture_float) {
        throw Common::Exception(L"ARB_texture_float not supported");
    }
    CheckGlError();

    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    glEnable(GL_CULL_FACE);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LESS);
    glClearColor(0.5f, 0.5f, 0.7f, 0.0f);
}

int64_t OpenglDriver::CreateVertexBuffer(boost::shared_ptr<Vertex> vertices, std::size_t count)
{
    if (!vertices) {
        throw Common::Exception(
            L"Invalid parameter: !vertices in OpenglDriver::CreateVertexBuffer");
    }
    if (count < kQuadVertices) {
        throw Common::Exception(L"Invalid parameter: count < 4 in OpenglDriver::CreateVertexBuffer");
    }
    boost::shared_ptr<OpenglVertexBuffer> buffer(new OpenglVertexBuffer(vertices.get()));
    m_vertexBuffers.push_back(buffer);
    return static_cast<int64_t>(m_vertexBuffers.size()) - 1;
}

int64_t OpenglDriver::CreateVertexBuffer(boost::shared_ptr<int> indices, std::size_t count)
{
    if (!indices) {
        throw Common::Exception(L"Invalid parameter: !indices in OpenglDriver::CreateVertexBuffer");
    }
    if (count < kQuadIndices) {
        throw Common::Exception(L"Invalid parameter: count < 6 in OpenglDriver::CreateVertexBuffer");
    }
    boost::shared_ptr<OpenglIndexBuffer<int>> buffer(new OpenglIndexBuffer<int>(indices.get()));
    CheckGlError();
    m_indexBuffers.push_back(buffer);
    return static_cast<int64_t>(m_indexBuffers.size()) - 1;
}

boost::weak_ptr<OpenglProgram> OpenglDriver::CreateProgram(const std::vector<ShaderSource>& shaders)
{
    if (shaders.empty()) {
        throw Common::Exception(L"Invalid parameter: !shaders.size() OpenglDriver::CreateProgram");
    }
    boost::shared_ptr<OpenglProgram> program(new OpenglProgram(shaders));
    CheckGlError();
    m_programs.push_back(program);
    return boost::weak_ptr<OpenglProgram>(program);
}

void OpenglDriver::SetProgram(boost::weak_ptr<OpenglProgram> program)
{
    m_currentProgram = program;
}

boost::weak_ptr<OpenglTexture> OpenglDriver::CreateTexture()
{
    boost::shared_ptr<OpenglTexture> texture(new OpenglTexture());
    m_textures.push_back(texture);
    return boost::weak_ptr<OpenglTexture>(texture);
}

void OpenglDriver::SetTextureUnit(boost::weak_ptr<OpenglTexture> texture, int32_t unit)
{
    m_textureUnits[texture] = unit;
}

void OpenglDriver::ClearTextureUnits()
{
    m_textureUnits.clear();
}

uint32_t OpenglDriver::MaxTextureSize() const
{
    GLint size = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &size);
    CheckGlError();
    return size > 0 ? static_cast<uint32_t>(size) : 0;
}

std::string OpenglDriver::ShadingLanguageVersion() const
{
    const GLubyte* version = glGetString(GL_SHADING_LANGUAGE_VERSION);
    CheckGlError();
    return version ? std::string(reinterpret_cast<const char*>(version)) : std::string();
}

void OpenglDriver::DrawIndexedPrimitive(int64_t vertexBufferId, int64_t indexBufferId,
                                        uint64_t instanceCount)
{
    if (vertexBufferId < 0 || vertexBufferId >= static_cast<int64_t>(m_vertexBuffers.size())) {
        throw Common::Exception(
            L"Invalid Parameter: vertexBufferId < 0 || vertexBufferId > m_vertexBuffers.size() "
            L"in OpenglDriver::DrawIndexedPrimitive");
    }
    if (indexBufferId < 0 || indexBufferId >= static_cast<int64_t>(m_indexBuffers.size())) {
        throw Common::Exception(
            L"Invalid Parameter: indexBufferId < 0 || indexBufferId > m_indexBuffers.size() "
            L"in OpenglDriver::DrawIndexedPrimitive");
    }
    boost::shared_ptr<OpenglProgram> program = m_currentProgram.lock();
    if (!program) {
        throw Common::Exception(L"No program set in OpenglDriver::DrawIndexedPrimitive");
    }
    boost::shared_ptr<OpenglVertexBuffer> vertexBuffer =
        m_vertexBuffers[static_cast<std::size_t>(vertexBufferId)];
    boost::shared_ptr<OpenglIndexBuffer<int>> indexBuffer =
        m_indexBuffers[static_cast<std::size_t>(indexBufferId)];

    glUseProgram(program->m_id);
    CheckGlError();

    for (const auto& entry : m_textureUnits) {
        boost::shared_ptr<OpenglTexture> texture = entry.first.lock();
        if (!texture) {
            continue;
        }
        glActiveTexture(GL_TEXTURE0 + static_cast<GLenum>(entry.second));
        CheckGlError();
        glBindTexture(texture->target, texture->id);
        CheckGlError();
    }

    glBindBuffer(GL_ARRAY_BUFFER, vertexBuffer->m_id);
    CheckGlError();
    glEnableClientState(GL_VERTEX_ARRAY);
    CheckGlError();
    glVertexPointer(3, GL_FLOAT, sizeof(Vertex), reinterpret_cast<const void*>(0));
    CheckGlError();
    glEnableClientState(GL_NORMAL_ARRAY);
    CheckGlError();
    glNormalPointer(GL_FLOAT, sizeof(Vertex), reinterpret_cast<const void*>(sizeof(Math::Vector3)));
    CheckGlError();
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, indexBuffer->m_id);
    CheckGlError();

    const GLsizei count = static_cast<GLsizei>(indexBuffer->m_count);
    if (instanceCount == 1) {
        glDrawElements(GL_TRIANGLES, count, GL_UNSIGNED_INT, reinterpret_cast<const void*>(0));
    } else {
        // Contexts older than 3.1 offer instancing only through the extension that the
        // capability check required; GLEW then leaves the core entry point null.
        PFNGLDRAWELEMENTSINSTANCEDPROC drawInstanced =
            glDrawElementsInstanced ? glDrawElementsInstanced : glDrawElementsInstancedARB;
        drawInstanced(GL_TRIANGLES, count, GL_UNSIGNED_INT, reinterpret_cast<const void*>(0),
                      static_cast<GLsizei>(instanceCount));
    }
    CheckGlError();
}

void OpenglDriver::Present()
{
    if (m_dc == nullptr) {
        return;  // drawing into no window
    }
    if (m_frameTimer) {
        m_frameTimer->EndFrame();
    }
    if (SwapBuffers(m_dc) != TRUE) {
        throw Common::Exception(std::wstring());
    }
}

}  // namespace OpenglDriver
