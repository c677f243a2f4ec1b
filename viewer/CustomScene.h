// The viewer's scene: the default camera, where the pixel shader lives, both shader texts, the
// one-frame flag that tells the renderer the pixel shader changed, the copy of the unsaved
// edits kept beside the file, the following of the file's changes made by other programs, the
// notice the log box shows above the next compile result, what the logic asks of the renderer
// beyond the camera (the animation clock, screenshots and what the main window shows), and the
// left button as texts in Shadertoy's form see it, which the logic feeds and the renderer reads;
// and the watch over frames that never end.
#pragma once

#include <string>

#include "framework/Scene.h"
#include "viewer/AnimationClock.h"
#include "viewer/FileFollowing.h"
#include "viewer/RunawayWatch.h"
#include "viewer/ScenePaths.h"
#include "viewer/Screenshots.h"
#include "viewer/ShadertoyMouse.h"
#include "viewer/UnsavedEdits.h"
#include "viewer/WindowRequests.h"

namespace Morvane {

class CustomScene : public RealTimeApp::Scene {
public:
    // Builds the default camera and reads both shader files from the current directory.
    CustomScene();
    // The same for a scene named on the command line; where it brings no vertex shader, the
    // built-in one is used.
    explicit CustomScene(const ScenePaths& paths);
    ~CustomScene() override;

    // Raises the changed flag, then reads the pixel shader file again.
    void ReloadPixelShader();

    // Everything the log box must say above the next compile result: the notice of the moment,
    // the standing notices about keeping the unsaved edits and about the file's changes on disk,
    // and that the clock is stopped.
    std::wstring LogNotices() const;

    // The time and frame count the shaders see.
    AnimationClock& Clock() { return m_clock; }
    const AnimationClock& Clock() const { return m_clock; }
    // The pictures of the window the user asked for.
    Morvane::Screenshots& Screenshots() { return m_screenshots; }
    // The frame-time readout and full screen, as the user asked for them.
    WindowRequests& Window() { return m_windowRequests; }
    const WindowRequests& Window() const { return m_windowRequests; }
    // The left button as texts in Shadertoy's form see it (iMouse).
    ShadertoyMouse& Mouse() { return m_shadertoyMouse; }
    const ShadertoyMouse& Mouse() const { return m_shadertoyMouse; }
    // The pixel shader's file as other programs change it.
    FileFollowing& Following() { return m_following; }
    // The watch over frames that never end, and what a restart after one handed this start.
    RunawayWatch& Runaway() { return m_runawayWatch; }

    std::wstring m_pixelShaderPath;
    std::string m_vertexShaderText;
    std::string m_pixelShaderText;
    bool m_shaderChanged;
    UnsavedEdits m_unsavedEdits;
    // What the log box must say once about the pixel text last read from the file (it was not
    // valid UTF-8); shown above the next compile result, then cleared. Empty when there is
    // nothing.
    std::wstring m_logNotice;

private:
    AnimationClock m_clock;
    Morvane::Screenshots m_screenshots;
    WindowRequests m_windowRequests;
    ShadertoyMouse m_shadertoyMouse;
    FileFollowing m_following;
    RunawayWatch m_runawayWatch;
};

// The camera the viewer starts with: eye (0, 10, 30) looking at the origin, 45 degree vertical
// field of view, aspect 4:3, near 0.1, far 1000.
RealTimeApp::Camera DefaultCamera();

// Perspective projection into OpenGL clip space with the default camera's 45 degree vertical
// field of view, near and far planes, for a picture `aspect` times as wide as it is high.
Math::Matrix4x4 PerspectiveProjection(float aspect);

}  // namespace Morvane
