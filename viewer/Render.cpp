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
#include "viewer/ShadertoyProgramText.h"
#include "viewer/ShadertoyText.h"

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
    , m_fullScreen(WindowFromDC(dc), m_width, m_height)
    , m_frameTimes(WindowFromDC(dc), *m_driver)
{
    // Watched from the first compile on: a file that stops the first frame ends the viewer.
    m_scene.Runaway().Start(m_scene.m_pixelShaderPath);
    BuildQuad();
    BuildProgram();
    m_driver->SetProgram(m_program);
    UpdateParameters();
    if (!m_channelNotices.empty()) {
        m_settingsDlg.ShowResult(m_channelNotices);
    }
}

Render::~Render()
{
    m_scene.Runaway().Stop();
}

void Render::RecordWindowPlaces()
{
    RunawayWatch& watch = m_scene.Runaway();
    if (!watch.PlacesDue()) {
        return;
    }
    WindowPlaces places{};
    if (GetWindowRect(WindowFromDC(m_dc), &places.mainWindow) && GetWindowRect(m_settingsDlg.m_hwnd, &places.settings)) {
        watch.RecordPlaces(places);
    }
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
    sources.push_back(PixelStage(m_scene.m_pixelShaderText, true));
    m_program = m_driver->CreateProgram(sources);
    Linked(*m_program.lock(), m_scene.m_pixelShaderText);
    m_lastGoodPixelShader = m_scene.m_pixelShaderText;
}

OpenglDriver::ShaderSource Render::PixelStage(const std::string& text, bool readChannels)
{
    if (!IsShadertoyText(text)) {
        return OpenglDriver::ShaderSource{text, OpenglDriver::PixelShader};
    }
    const std::string versionText = m_driver->ShadingLanguageVersion();
    const int version = ShadingLanguageVersion(versionText);
    if (version < kOldestShadertoyLanguage) {
        throw Common::Exception(ShadingLanguageTooOldNotice(versionText));
    }
    if (readChannels) {
        m_channelNotices = m_channels.Load(*m_driver, FolderOfFile(m_scene.m_pixelShaderPath));
    }
    return OpenglDriver::ShaderSource{ShadertoyProgramText(text, version), OpenglDriver::PixelShader};
}

void Render::Linked(OpenglDriver::OpenglProgram& program, const std::string& text)
{
    m_runsShadertoyText = IsShadertoyText(text);
    if (m_runsShadertoyText) {
        m_shadertoyInputs.Find(program, *m_driver, m_channels);
    } else {
        m_driver->ClearTextureUnits();
    }
}

Math::Matrix4x4 Render::ScreenToWorld() const
{
    return Morvane::ScreenToWorld(m_fullScreen.Camera(m_scene.m_camera), static_cast<float>(m_width),
                                  static_cast<float>(m_height));
}

void Render::UpdateParameters()
{
    boost::shared_ptr<OpenglDriver::OpenglProgram> program = m_program.lock();
    if (m_runsShadertoyText) {
        const Math::Vector3 resolution(static_cast<float>(m_width), static_cast<float>(m_height), 1.0f);
        m_shadertoyInputs.Set(*program, ShadertoyInputSources{resolution, m_height, m_scene.Clock(),
                                                               [this]() { return m_frameRate.Tick(); },
                                                               m_scene.Mouse(), m_channels,
                                                               m_scene.m_camera.position,
                                                               [this]() { return ScreenToWorld(); }});
        return;
    }
    program->SetParameter("screen2World", ScreenToWorld());
    program->SetParameter("cameraPos", m_scene.m_camera.position);
    program->SetParameter("totalTime", m_totalTime);
}

void Render::FollowWindowRequests()
{
    WindowRequests& requests = m_scene.Window();
    std::wstring failure;
    if (!m_fullScreen.Follow(requests.FullScreen(), failure)) {
        // Whichever way it failed, the picture is the window's now, and so is the request.
        requests.LeaveFullScreen();
        m_scene.m_logNotice = failure;
        m_settingsDlg.RefreshNotices();
    }
    m_width = m_fullScreen.Width();
    m_height = m_fullScreen.Height();
    m_frameTimes.Frame(requests.FrameTimesShown(), m_width, m_height);
}

void Render::Update()
{
    FollowWindowRequests();
    // The animation time is the clock's, which the user may stop, step or set back; running and
    // untouched, it is the same sum of frame times the loop keeps.
    m_totalTime = m_scene.Clock().Time();
    // One beat of the watch a frame, and what it is running: an edit or the file's own text
    // (Save and Reload change which, without a compile).
    RunawayWatch& watch = m_scene.Runaway();
    const std::string& fileText = m_scene.m_unsavedEdits.FileText();
    watch.FrameStarts();
    watch.Runs(m_lastGoodPixelShader != fileText);
    RecordWindowPlaces();
    boost::shared_ptr<OpenglDriver::OpenglProgram> program = m_program.lock();
    OpenglDriver::ShaderSource source{m_scene.m_pixelShaderText, OpenglDriver::PixelShader};
    try {
        if (m_scene.m_shaderChanged) {
            watch.Runs(source.source != fileText);
            m_channelNotices.clear();
            program->UpdateShader(PixelStage(source.source, true));
            Linked(*program, source.source);
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
    watch.Runs(source.source != fileText);
    program->UpdateShader(PixelStage(source.source, false));
    Linked(*program, source.source);
    // The link reset the inputs: a text in Shadertoy's form gets them again at once, so that the
    // picture does not flash at every broken keystroke.
    if (m_runsShadertoyText) {
        UpdateParameters();
    }
}

void Render::TakeScreenshotIfAsked()
{
    if (!m_scene.Screenshots().TakeRequest()) {
        return;
    }
    // The picture as the window shows it: the part of the surface its client area shows (all of
    // it while the window fills its monitor), from the bottom-left, drawn into the back buffer
    // (the loop draws this frame over it again) and read from there.
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
    MakeOpaque(pixels);
    m_scene.m_logNotice = Screenshots::Save(SceneFolder(m_scene.m_pixelShaderPath), width, height, pixels);
    m_settingsDlg.RefreshNotices();
}

void Render::ShowCompileResult(const std::wstring& result)
{
    // A notice about the text just loaded or kept stays above the result of compiling it.
    m_settingsDlg.ShowResult(BelowNotice(m_channelNotices, result));
    m_scene.m_logNotice.clear();
}

}  // namespace Morvane
