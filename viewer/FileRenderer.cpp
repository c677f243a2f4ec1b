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
#include "platform/ConsoleText.h"
#include "platform/OffscreenContext.h"
#include "viewer/CustomScene.h"
#include "viewer/FrameOutput.h"
#include "viewer/LogNotice.h"
#include "viewer/Quad.h"
#include "viewer/RenderProgress.h"
#include "viewer/ShadertoyInputs.h"
#include "viewer/ShadertoyProgramText.h"
#include "viewer/ShadertoyText.h"

namespace Morvane {
namespace {

const uint32_t kDefaultTileSide = 4096;

[[noreturn]] void Fail(const std::wstring& sentence)
{
    throw Common::Exception(sentence, Common::ErrorDetail());
}

class Frames {
public:
    Frames(const ScenePaths& paths, const RenderOptions& options)
        : m_options(options)
        , m_driver(OpenglDriver::OpenglDriver::CurrentContext{})
        , m_quad(CreateQuad(m_driver))
        , m_camera(DefaultCamera())
        , m_pixels(static_cast<size_t>(options.width) * options.height * 4)
    {
        BuildProgram(paths);
        m_camera.projection =
            PerspectiveProjection(static_cast<float>(options.width) / static_cast<float>(options.height));
        GLint viewport[2] = {0, 0};
        GLint renderbuffer = 0;
        glGetIntegerv(GL_MAX_VIEWPORT_DIMS, viewport);
        glGetIntegerv(GL_MAX_RENDERBUFFER_SIZE, &renderbuffer);
        m_tileSide = std::min(RenderTileSide(static_cast<uint32_t>(renderbuffer)),
                              static_cast<uint32_t>(std::min(viewport[0], viewport[1])));
        m_framebuffer.reset(new OpenglDriver::OpenglFramebuffer(std::min(options.width, m_tileSide),
                                                               std::min(options.height, m_tileSide)));
    }

    // Draws frame `frame` at `time` into the pixels, tile by tile. Each tile is drawn on its own
    // and moved to its place: a text in Shadertoy's form gets its fragCoord moved by the tile's
    // corner (exact), one in Morvane's own form a screen2World moved by it (rounded differently).
    const std::vector<uint8_t>& Draw(float time, uint32_t frame)
    {
        boost::shared_ptr<OpenglDriver::OpenglProgram> program = m_program.lock();
        const float width = static_cast<float>(m_options.width);
        const float height = static_cast<float>(m_options.height);
        const Math::Matrix4x4 screen2World = ScreenToWorld(m_camera, width, height);
        const float frameSeconds = static_cast<float>(1.0 / m_options.fps);
        m_clock.StandAt(time, static_cast<int32_t>(frame), frameSeconds);
        // Midnight of 1 January 2000 plus the frame's time: the same frame is the same picture.
        const float date[4] = {2000.0f, 0.0f, 1.0f, time};
        const float frameRate = static_cast<float>(m_options.fps);
        if (m_shadertoy) {
            m_inputs.Set(*program, ShadertoyInputSources{Math::Vector3(width, height, 1.0f), m_options.height, m_clock,
                                                         [frameRate]() { return frameRate; }, m_mouse, m_channels,
                                                         m_camera.position, [&screen2World]() { return screen2World; },
                                                         date});
        } else {
            program->SetParameter("cameraPos", m_camera.position);
            program->SetParameter("totalTime", time);
        }
        for (uint32_t y = 0; y < m_options.height; y += m_tileSide) {
            for (uint32_t x = 0; x < m_options.width; x += m_tileSide) {
                const uint32_t tileWidth = std::min(m_tileSide, m_options.width - x);
                const uint32_t tileHeight = std::min(m_tileSide, m_options.height - y);
                if (m_shadertoy) {
                    if (m_offset >= 0) {
                        program->Use();
                        program->SetParameterAt(m_offset, static_cast<float>(x), static_cast<float>(y));
                    }
                } else {
                    Math::Matrix4x4 corner;
                    corner.At(0, 3) = static_cast<float>(x);
                    corner.At(1, 3) = static_cast<float>(y);
                    program->SetParameter("screen2World", screen2World * corner);
                }
                glViewport(0, 0, static_cast<GLsizei>(tileWidth), static_cast<GLsizei>(tileHeight));
                glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
                OpenglDriver::CheckGlError();
                m_driver.DrawIndexedPrimitive(m_quad.vertexBufferId, m_quad.indexBufferId, m_quad.instanceCount);
                m_framebuffer->Read(tileWidth, tileHeight, &m_pixels[(static_cast<size_t>(y) * m_options.width + x) * 4],
                                    m_options.width);
            }
        }
        MakeOpaque(m_pixels);
        return m_pixels;
    }

private:
    // The program as the window builds it at start, from the files on disk: a text in Shadertoy's
    // form wrapped for this driver with the channels of its folder (a channel file that cannot be
    // used is told on standard error, and noise takes its place).
    void BuildProgram(const ScenePaths& paths)
    {
        const std::string text = Common::ReadTextFile(paths.pixelShader);
        m_shadertoy = IsShadertoyText(text);
        std::string pixelStage = text;
        if (m_shadertoy) {
            const std::string versionText = m_driver.ShadingLanguageVersion();
            const int version = ShadingLanguageVersion(versionText);
            if (version < kOldestShadertoyLanguage) {
                Fail(ShadingLanguageTooOldNotice(versionText));
            }
            const std::wstring notices = m_channels.Load(m_driver, FolderOfFile(paths.pixelShader));
            if (!notices.empty()) {
                Platform::PrintError(notices + L"\n");
            }
            pixelStage = ShadertoyProgramText(text, version);
        }
        m_program = m_driver.CreateProgram({OpenglDriver::ShaderSource{ReadVertexShader(paths), OpenglDriver::VertexShader},
                                            OpenglDriver::ShaderSource{pixelStage, OpenglDriver::PixelShader}});
        m_driver.SetProgram(m_program);
        if (m_shadertoy) {
            m_inputs.Find(*m_program.lock(), m_driver, m_channels);
            m_offset = m_program.lock()->ParameterLocation("morvaneFragCoordOffset");
        }
    }

    RenderOptions m_options;
    OpenglDriver::OpenglDriver m_driver;
    QuadBuffers m_quad;
    boost::weak_ptr<OpenglDriver::OpenglProgram> m_program;
    RealTimeApp::Camera m_camera;
    bool m_shadertoy = false;
    ShadertoyInputs m_inputs;
    ShaderChannels m_channels;
    AnimationClock m_clock;
    ShadertoyMouse m_mouse;
    GLint m_offset = -1;
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
        // A still is the frame its time falls in.
        const float time = still ? static_cast<float>(options.time) : static_cast<float>(frame / options.fps);
        const uint32_t number = still ? static_cast<uint32_t>(std::floor(options.time * options.fps)) : frame;
        output.Write(frame, frames.Draw(time, number));
        progress.FrameDone();
        if (frame == last) break;  // the last frame may be the largest number there is
    }
    output.Finish();
    progress.Finish();
}

}  // namespace Morvane
