// Camera control, shader text, save, reload and reset, one command at a time.
#include "Logic.h"

#include <algorithm>

#include "common/Exception.h"
#include "common/TextFile.h"
#include "viewer/EditText.h"
#include "viewer/FailureText.h"
#include "viewer/LogNotice.h"
#include "viewer/SettingsDlg.h"

namespace Morvane {
namespace {

const float kZoomRate = 1.5f;
// The largest share of the distance to the target that one zoom step covers. A slow frame
// would otherwise put the eye on or past the target, where the look-at degenerates.
const float kMaximumZoomShare = 0.9f;
const float kOrbitRate = -10.0f;
// An orbit that would leave the eye closer than this (as the sine of the angle) to the line
// through the target along `up` is skipped: the look-at would lose its side vector there.
const float kMinimumSineToUp = 1e-3f;

bool NearlyAlongUp(const Math::Vector3& eye, const Math::Vector3& target, const Math::Vector3& up)
{
    Math::Vector3 direction = eye - target;
    direction.Normalize();
    Math::Vector3 axis = up;
    axis.Normalize();
    return Math::Length(direction.Cross(axis)) < kMinimumSineToUp;
}

}  // namespace

Logic::Logic(RealTimeApp::Scene& scene, SettingsDlg& settingsDlg)
    : m_scene(dynamic_cast<CustomScene&>(scene))
    , m_settingsDlg(settingsDlg)
    , m_initialCamera(m_scene.m_camera)
{
}

void Logic::Update(float deltaSeconds, const CommandQueue& commands)
{
    // Whether the editor's text or the file's changed, so that the kept copy of the unsaved
    // edits must follow before the renderer compiles and draws the text.
    bool textChanged = false;
    m_compileDelay.Advance(deltaSeconds);
    m_scene.Clock().Advance(deltaSeconds);
    m_scene.Mouse().NewFrame();
    for (const Command& command : commands) {
        switch (command.type) {
        case Mouse:
            HandleMouse(deltaSeconds, command.mouse);
            break;
        case ShaderTextChanged:
            m_scene.m_pixelShaderText = command.text;
            m_compileDelay.Edited();
            textChanged = true;
            break;
        case SaveShader:
            textChanged = SavePixelShader() || textChanged;
            break;
        case ReloadShader:
            textChanged = ReloadPixelShader() || textChanged;
            break;
        case ResetCamera:
            m_scene.m_camera = m_initialCamera;
            break;
        case KeyPressed:
            HandleKey(command.key);
            break;
        default:
            break;
        }
    }
    switch (m_scene.Following().Follow(deltaSeconds, m_scene.m_pixelShaderText)) {
    case DiskVerdict::TakeFile:
        textChanged = ReloadChangedFile() || textChanged;
        break;
    case DiskVerdict::NoticeChanged:
        m_settingsDlg.RefreshNotices();
        break;
    case DiskVerdict::Nothing:
        break;
    }
    if (textChanged) {
        m_scene.m_unsavedEdits.Keep(m_scene.m_pixelShaderText);
    }
    // A reload is compiled in this frame, and with it whatever was typed after it: nothing is
    // left waiting. Otherwise an edited text is compiled once it has stood for the delay.
    if (m_scene.m_shaderChanged) {
        m_compileDelay.Cancel();
    } else if (m_compileDelay.TakeDue()) {
        m_scene.m_shaderChanged = true;
    }
}

void Logic::HandleMouse(float deltaSeconds, const MouseState& mouse)
{
    m_scene.Mouse().Take(mouse);
    if (mouse.button == Wheel) {
        Zoom(deltaSeconds, mouse);
    } else if (mouse.moved && mouse.buttonDown && mouse.button == Left) {
        Orbit(deltaSeconds, mouse);
    }
}

void Logic::Zoom(float deltaSeconds, const MouseState& mouse)
{
    RealTimeApp::Camera& camera = m_scene.m_camera;
    const float factor = static_cast<float>(mouse.wheelSteps) > 0.0f
                             ? std::min(deltaSeconds * kZoomRate, kMaximumZoomShare)
                             : deltaSeconds * -kZoomRate;
    const Math::Vector3 step = (camera.target - camera.position) * factor;
    camera.position = camera.position + step;
    camera.view.SetLookAt(camera.position, camera.target, camera.up);
}

void Logic::Orbit(float deltaSeconds, const MouseState& mouse)
{
    RealTimeApp::Camera& camera = m_scene.m_camera;
    Math::Matrix4x4 rotation;
    rotation.SetArcballRotation(mouse.previousPosition, mouse.position, deltaSeconds * kOrbitRate);
    const Math::Vector3 eye = rotation * camera.position;
    if (NearlyAlongUp(eye, camera.target, camera.up)) {
        return;
    }
    camera.position = eye;
    camera.view.SetLookAt(camera.position, camera.target, camera.up);
}

void Logic::HandleKey(const KeyPress& key)
{
    AnimationClock& clock = m_scene.Clock();
    switch (key.virtualKey) {
    case VK_SPACE:
        if (key.repeated) {
            return;  // a held Space would toggle at the key's repeat rate
        }
        clock.StartOrStop();
        break;
    case VK_LEFT:
        clock.Step(-1);
        break;
    case VK_RIGHT:
        clock.Step(1);
        break;
    case VK_HOME:
        clock.Restart();
        break;
    case VK_F12:
        if (!key.repeated) {
            m_scene.Screenshots().Request();
        }
        return;
    case VK_F1:
        if (!key.repeated) {
            m_scene.Window().ToggleFrameTimes();
        }
        return;
    case VK_F11:
        if (!key.repeated) {
            m_scene.Window().ToggleFullScreen();
        }
        return;
    case VK_ESCAPE:
        m_scene.Window().LeaveFullScreen();
        return;
    default:
        return;
    }
    m_settingsDlg.RefreshNotices();
}

bool Logic::SavePixelShader()
{
    try {
        Common::WriteTextFile(m_scene.m_pixelShaderPath, m_scene.m_pixelShaderText);
    } catch (const Common::Exception& e) {
        m_settingsDlg.SetLog(FailureLogText(e));
        return false;
    }
    m_scene.m_unsavedEdits.FileChanged(m_scene.m_pixelShaderText);
    // What Save wrote is no change from outside; the editor's text now stands on disk.
    if (m_scene.Following().Known(m_scene.m_pixelShaderText)) {
        m_settingsDlg.RefreshNotices();
    }
    return true;
}

bool Logic::ReloadPixelShader()
{
    const bool wasChanged = m_scene.m_shaderChanged;
    try {
        m_scene.ReloadPixelShader();
    } catch (const Common::Exception& e) {
        // The scene keeps its text; nothing is recompiled for a reload that did not happen.
        m_scene.m_shaderChanged = wasChanged;
        m_settingsDlg.SetLog(FailureLogText(e));
        return false;
    }
    // Setting the text from the program raises no change notice, so no command is queued.
    SetWindowTextW(m_settingsDlg.m_sourceEdit, ToEditText(m_scene.m_pixelShaderText).c_str());
    return true;
}

bool Logic::ReloadChangedFile()
{
    if (!ReloadPixelShader()) {
        return false;
    }
    m_scene.m_logNotice = BelowNotice(ReloadedFromDiskNotice(m_scene.m_pixelShaderPath), m_scene.m_logNotice);
    return true;
}

}  // namespace Morvane

