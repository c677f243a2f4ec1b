// Drawing frames into framebuffer tiles and handing them to the output.
#include "FileRenderer.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <vector>

#include "common/Exception.h"
#include "common/TextFile.h"
#include "opengl/OpenglException.h"
#include "opengl/OpenglFramebuffer.h"
#include "platform/OffscreenContext.h"
#include "viewer/CustomScene.h"
#include "viewer/FrameOutput.h"
#include "viewer/Quad.h"
#include "viewer/RenderProgress.h"

namespace Morvane {
namespace {

const uint32_t kDefaultTileSide = 4096;

[[noreturn]] void Fail(const std::wstring& sentence)
{
    throw Common::Exception(sentence, Common::ErrorDetail());
}

// The program's sources as the window would build them at start, from the files on disk.
std::vector<OpenglDriver::ShaderSource> SceneSources(const ScenePaths& paths)
{
    const std::string vertex =
        paths.vertexShader.empty() ? std::string(BuiltInVertexShader()) : Common::ReadTextFile(paths.vertexShader);
    const std::string pixel = Common::ReadTextFile(paths.pixelShader);
    return {OpenglDriver::ShaderSource{vertex, OpenglDriver::VertexShader},
            OpenglDriver::ShaderSource{pixel, OpenglDriver::PixelShader}};
}

class Frames {
public:
    Frames(const ScenePaths& paths, const RenderOptions& options)
        : m_options(options)
        , m_driver(OpenglDriver::OpenglDriver::CurrentContext{})
        , m_quad(CreateQuad(m_driver))
        , m_program(m_driver.CreateProgram(SceneSources(paths)))
        , m_camera(DefaultCamera())
        , m_pixels(static_cast<size_t>(options.width) * options.height * 4)
    {
        m_driver.SetProgram(m_program);
        m_camera.projection =
            PerspectiveProjection(static_cast<float>(options.width) / static_cast<float>(options.height));
        GLint viewport[2] = {0, 0};
        GLint renderbuffer = 0;
        glGetIntegerv(GL_MAX_VIEWPORT_DIMS, viewport);
        glGetIntegerv(GL_MAX_RENDERBUFFER_SIZE, &renderbuffer);
        if (options.width > static_cast<uint32_t>(viewport[0]) || options.height > static_cast<uint32_t>(viewport[1])) {
            Fail(L"This OpenGL draws pictures of at most " + std::to_wstring(viewport[0]) + L" x " +
                 std::to_wstring(viewport[1]) + L" pixels: ask for a smaller --size.");
        }
        m_tileSide = RenderTileSide(static_cast<uint32_t>(renderbuffer));
        m_framebuffer.reset(new OpenglDriver::OpenglFramebuffer(std::min(options.width, m_tileSide),
                                                               std::min(options.height, m_tileSide)));
    }

    // Draws the frame at `time` into the pixels, tile by tile. Each tile is drawn on its own, its
    // screen2World moved by the tile's corner, so that its pixels see the rays of the same pixels
    // of the whole picture.
    const std::vector<uint8_t>& Draw(float time)
    {
        boost::shared_ptr<OpenglDriver::OpenglProgram> program = m_program.lock();
        const Math::Matrix4x4 screen2World =
            ScreenToWorld(m_camera, static_cast<float>(m_options.width), static_cast<float>(m_options.height));
        program->SetParameter("cameraPos", m_camera.position);
        program->SetParameter("totalTime", time);
        for (uint32_t y = 0; y < m_options.height; y += m_tileSide) {
            for (uint32_t x = 0; x < m_options.width; x += m_tileSide) {
                const uint32_t tileWidth = std::min(m_tileSide, m_options.width - x);
                const uint32_t tileHeight = std::min(m_tileSide, m_options.height - y);
                Math::Matrix4x4 corner;
                corner.At(0, 3) = static_cast<float>(x);
                corner.At(1, 3) = static_cast<float>(y);
                program->SetParameter("screen2World", screen2World * corner);
                glViewport(0, 0, static_cast<GLsizei>(tileWidth), static_cast<GLsizei>(tileHeight));
                glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
                OpenglDriver::CheckGlError();
                m_driver.DrawIndexedPrimitive(m_quad.vertexBufferId, m_quad.indexBufferId, m_quad.instanceCount);
                m_framebuffer->Read(tileWidth, tileHeight, &m_pixels[(static_cast<size_t>(y) * m_options.width + x) * 4],
                                    m_options.width);
            }
        }
        // The window shows colours only: the picture is opaque whatever alpha the shader wrote.
        for (size_t alpha = 3; alpha < m_pixels.size(); alpha += 4) {
            m_pixels[alpha] = 255;
        }
        return m_pixels;
    }

private:
    RenderOptions m_options;
    OpenglDriver::OpenglDriver m_driver;
    QuadBuffers m_quad;
    boost::weak_ptr<OpenglDriver::OpenglProgram> m_program;
    RealTimeApp::Camera m_camera;
    uint32_t m_tileSide = kDefaultTileSide;
    std::unique_ptr<OpenglDriver::OpenglFramebuffer> m_framebuffer;
    std::vector<uint8_t> m_pixels;
};

}  // namespace

uint32_t RenderTileSide(uint32_t largestRenderbuffer)
{
    uint32_t side = kDefaultTileSide;
    if (const char* knob = std::getenv("MORVANE_RENDER_TILE")) {
        const long asked = std::strtol(knob, nullptr, 10);
        if (asked >= 16 && asked <= 65536) {
            side = static_cast<uint32_t>(asked);
        }
    }
    return largestRenderbuffer > 0 ? std::min(side, largestRenderbuffer) : side;
}

void RenderToFiles(const ScenePaths& paths, const RenderOptions& options, const std::wstring& ffmpeg)
{
    std::wstring reason;
    std::unique_ptr<Platform::OffscreenContext> context = Platform::CreateOffscreenContext(reason);
    if (!context) {
        Fail(L"Morvane cannot draw here: " + reason);
    }
    Frames frames(paths, options);
    const bool still = options.kind == OutputKind::Still;
    const uint32_t first = still ? 0 : options.first;
    const uint32_t last = still ? 0 : options.last;
    FrameOutput output(options, ffmpeg);
    RenderProgress progress(static_cast<uint64_t>(last) - first + 1, options.output);
    for (uint32_t frame = first; frame <= last; ++frame) {
        const float time = still ? static_cast<float>(options.time) : static_cast<float>(frame / options.fps);
        output.Write(frame, frames.Draw(time));
        progress.FrameDone();
        if (frame == last) break;  // the last frame may be the largest number there is
    }
    output.Finish();
    progress.Finish();
}

}  // namespace Morvane
