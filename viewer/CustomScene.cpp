// Construction of the viewer's scene and reloading of its pixel shader.
#include "CustomScene.h"

#include <cmath>

#include "common/TextFile.h"
#include "viewer/LogNotice.h"

namespace Morvane {
namespace {

const wchar_t* const kVertexShaderPath = L"glsl\\vertexShader.glsl";
const wchar_t* const kPixelShaderPath = L"glsl\\pixelShader.glsl";

// Perspective projection into OpenGL clip space for the 800 x 600 window.
Math::Matrix4x4 DefaultProjection()
{
    const float nearPlane = 0.1f;
    const float farPlane = 1000.0f;
    const float aspect = 1.3333334f;
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

}  // namespace

RealTimeApp::Camera DefaultCamera()
{
    RealTimeApp::Camera camera;
    camera.position = Math::Vector3(0.0f, 10.0f, 30.0f);
    camera.target = Math::Vector3(0.0f, 0.0f, 0.0f);
    camera.up = Math::Vector3(0.0f, 1.0f, 0.0f);
    camera.view.SetLookAt(camera.position, camera.target, camera.up);
    camera.projection = DefaultProjection();
    return camera;
}

CustomScene::CustomScene()
    : Scene(DefaultCamera())
    , m_pixelShaderPath(kPixelShaderPath)
    , m_vertexShaderText(Common::ReadTextFile(kVertexShaderPath))
    , m_pixelShaderText(Common::ReadTextFile(m_pixelShaderPath))
    , m_shaderChanged(false)
    , m_unsavedEdits(m_pixelShaderPath, m_pixelShaderText)
    , m_logNotice(InvalidUtf8Notice(m_pixelShaderPath, m_pixelShaderText))
{
}

CustomScene::~CustomScene() = default;

std::wstring CustomScene::LogNotices() const
{
    return BelowNotice(m_logNotice, m_unsavedEdits.StandingNotice());
}

void CustomScene::ReloadPixelShader()
{
    m_shaderChanged = true;
    m_pixelShaderText = Common::ReadTextFile(m_pixelShaderPath);
    m_unsavedEdits.FileChanged(m_pixelShaderText);
    m_logNotice = InvalidUtf8Notice(m_pixelShaderPath, m_pixelShaderText);
}

}  // namespace Morvane
