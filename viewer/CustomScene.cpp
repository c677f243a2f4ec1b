// Construction of the viewer's scene and reloading of its pixel shader.
#include "CustomScene.h"

#include <cmath>

#include "common/TextFile.h"
#include "viewer/LogNotice.h"

namespace Morvane {

Math::Matrix4x4 PerspectiveProjection(float aspect)
{
    const float nearPlane = 0.1f;
    const float farPlane = 1000.0f;
    const float inverseTangent = 1.0f / std::tan(0.3926991f);  // half of 45 degrees
    Math::Matrix4x4 p;
    p.At(0, 0) = inverseTangent / aspect;
    p.At(1, 1) = inverseTangent;
    p.At(2, 2) = -(farPlane + nearPlane) / (farPlane - nearPlane);
    p.At(2, 3) = -2.0f * farPlane * nearPlane / (farPlane - nearPlane);
    p.At(3, 2) = -1.0f;
    p.At(3, 3) = 0.0f;
    return p;
}

namespace {

}  // namespace

RealTimeApp::Camera DefaultCamera()
{
    RealTimeApp::Camera camera;
    camera.position = Math::Vector3(0.0f, 10.0f, 30.0f);
    camera.target = Math::Vector3(0.0f, 0.0f, 0.0f);
    camera.up = Math::Vector3(0.0f, 1.0f, 0.0f);
    camera.view.SetLookAt(camera.position, camera.target, camera.up);
    camera.projection = PerspectiveProjection(1.3333334f);  // the 800 x 600 window
    return camera;
}

CustomScene::CustomScene()
    : CustomScene(CurrentFolderScene())
{
}

CustomScene::CustomScene(const ScenePaths& paths)
    : Scene(DefaultCamera())
    , m_pixelShaderPath(paths.pixelShader)
    , m_vertexShaderText(ReadVertexShader(paths))
    , m_pixelShaderText(Common::ReadTextFile(m_pixelShaderPath))
    , m_shaderChanged(false)
    , m_unsavedEdits(m_pixelShaderPath, m_pixelShaderText)
    , m_logNotice(InvalidUtf8Notice(m_pixelShaderPath, m_pixelShaderText))
    , m_following(m_pixelShaderPath, m_pixelShaderText)
{
    // After a restart the log first says why the viewer started again and where the edit is.
    m_logNotice = BelowNotice(m_runawayWatch.StartNotice(m_pixelShaderPath, m_unsavedEdits.KeptPath(),
                                                         m_unsavedEdits.HoldsEarlierEdits()),
                              m_logNotice);
}

CustomScene::~CustomScene() = default;

std::wstring CustomScene::LogNotices() const
{
    const std::wstring clock = m_clock.Running() ? std::wstring() : ClockStoppedNotice(m_clock.Time(), m_clock.Frame());
    const std::wstring standing = BelowNotice(m_unsavedEdits.StandingNotice(), m_following.StandingNotice());
    return BelowNotice(BelowNotice(m_logNotice, standing), clock);
}

void CustomScene::ReloadPixelShader()
{
    m_shaderChanged = true;
    m_pixelShaderText = Common::ReadTextFile(m_pixelShaderPath);
    m_unsavedEdits.FileChanged(m_pixelShaderText);
    m_following.Known(m_pixelShaderText);
    m_logNotice = InvalidUtf8Notice(m_pixelShaderPath, m_pixelShaderText);
}

}  // namespace Morvane
