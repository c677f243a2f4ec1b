// Building the quad and the program, the per-frame parameter update and live recompilation.
#include "Render.h"

#include <algorithm>
#include <vector>

#include "common/Exception.h"
#include "opengl/OpenglException.h"
#include "viewer/CompileLogLines.h"
#include "viewer/LogNotice.h"
#include "viewer/Quad.h"
#include "viewer/SettingsDlg.h"

namespace Morvane {
Render::Render(HDC dc, RealTimeApp::Scene& scene, SettingsDlg& settingsDlg)
    : m_width(800)
    , m_height(600)
    , m_scene(dynamic_cast<CustomScene&>(scene))
    , m_driver(new OpenglDriver::OpenglDriver(dc))
    , m_vertexBufferId(0)
    , m_indexBufferId(0)
    , m_instanceCount(0)
    , m_settingsDlg(settingsDlg)
    , m_totalTime(0.0f)
    , m_dc(dc)
{
    BuildQuad();
    BuildProgram();
    m_driver->SetProgram(m_program);
    UpdateParameters();
}

void Render::BuildQuad()
{
    const QuadBuffers quad = CreateQuad(*m_driver);
    m_instanceCount = quad.instanceCount;
    m_vertexBufferId = quad.vertexBufferId;
    m_indexBufferId = quad.indexBufferId;
}

void Render::BuildProgram()
{
    std::vector<OpenglDriver::ShaderSource> sources;
    sources.push_back(OpenglDriver::ShaderSource{m_scene.m_vertexShaderText, OpenglDriver::VertexShader});
    sources.push_back(OpenglDriver::ShaderSource{m_scene.m_pixelShaderText, OpenglDriver::PixelShader});
    m_program = m_driver->CreateProgram(sources);
    m_lastGoodPixelShader = m_scene.m_pixelShaderText;
}

Math::Matrix4x4 Render::ScreenToWorld() const
{
    return Morvane::ScreenToWorld(m_scene.m_camera, static_cast<float>(m_width), static_cast<float>(m_height));
}

void Render::UpdateParameters()
{
    boost::shared_ptr<OpenglDriver::OpenglProgram> program = m_program.lock();
    program->SetParameter("screen2World", ScreenToWorld());
    program->SetParameter("cameraPos", m_scene.m_camera.position);
    program->SetParameter("totalTime", m_totalTime);
}

void Render::Update()
{
    // The animation time is the clock's, which the user may stop, step or set back; running and
    // untouched, it is the same sum of frame times the loop keeps.
    m_totalTime = m_scene.Clock().Time();
    boost::shared_ptr<OpenglDriver::OpenglProgram> program = m_program.lock();
    OpenglDriver::ShaderSource source{m_scene.m_pixelShaderText, OpenglDriver::PixelShader};
    try {
        if (m_scene.m_shaderChanged) {
            program->UpdateShader(source);
        }
        UpdateParameters();
        TakeScreenshotIfAsked();
        if (m_scene.m_shaderChanged) {
            m_lastGoodPixelShader = source.source;
            ShowCompileResult(L"Compilation succeeded!");
            m_settingsDlg.MarkSourceLines({});
        }
        return;
    } catch (const Common::Exception& e) {
        ShowCompileResult(e.Message());
        m_settingsDlg.MarkSourceLines(CompileLogLines(e.Message()));
    }
    // Back to the last text that built, so the picture never goes away; its parameters are set
    // again by the next frame.
    source.source = m_lastGoodPixelShader;
    program->UpdateShader(source);
}

void Render::TakeScreenshotIfAsked()
{
    if (!m_scene.Screenshots().TakeRequest()) {
        return;
    }
    // The picture as the window shows it: the part of the surface its client area shows, from
    // the bottom-left, drawn into the back buffer (the loop draws this frame over it again) and
    // read from there.
    RECT client = {0, 0, 0, 0};
    GetClientRect(WindowFromDC(m_dc), &client);
    const uint32_t width = static_cast<uint32_t>(std::min<LONG>(client.right, static_cast<LONG>(m_width)));
    const uint32_t height = static_cast<uint32_t>(std::min<LONG>(client.bottom, static_cast<LONG>(m_height)));
    if (width == 0 || height == 0) {
        m_scene.m_logNotice = L"The picture could not be saved: the window shows none of it.";
        m_settingsDlg.RefreshNotices();
        return;
    }
    std::vector<uint8_t> pixels(static_cast<size_t>(width) * height * 4);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    m_driver->DrawIndexedPrimitive(m_vertexBufferId, m_indexBufferId, m_instanceCount);
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, static_cast<GLsizei>(width), static_cast<GLsizei>(height), GL_RGBA, GL_UNSIGNED_BYTE,
                 pixels.data());
    OpenglDriver::CheckGlError();
    // The window shows colours only: the picture is opaque whatever alpha the shader wrote.
    for (size_t alpha = 3; alpha < pixels.size(); alpha += 4) {
        pixels[alpha] = 255;
    }
    m_scene.m_logNotice = Screenshots::Save(SceneFolder(m_scene.m_pixelShaderPath), width, height, pixels);
    m_settingsDlg.RefreshNotices();
}

void Render::ShowCompileResult(const std::wstring& result)
{
    // A notice about the text just loaded or kept stays above the result of compiling it.
    m_settingsDlg.ShowResult(result);
    m_scene.m_logNotice.clear();
}

}  // namespace Morvane
