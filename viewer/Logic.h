// The consumer of the user's commands: orbits and zooms the camera, takes edited shader text
// into the scene at once (keeping a copy of unsaved edits on disk) and has it compiled once the
// typing pauses, saves and reloads the pixel shader file, follows the file's changes made by
// other programs and resets the camera.
#pragma once

#include "framework/Camera.h"
#include "framework/Command.h"
#include "viewer/CompileDelay.h"
#include "viewer/CustomScene.h"

namespace Morvane {

class SettingsDlg;

class Logic {
public:
    Logic(RealTimeApp::Scene& scene, SettingsDlg& settingsDlg);

    // Handles every command in queue order. A failed save or reload is reported in the dialog's
    // log box and the remaining commands are still handled. An edited text is in the scene at
    // once (Save writes it), but the scene's changed flag is raised for it only once no edit
    // has come for the compile delay; a reload raises it at once. After the commands, a change of
    // the file made by another program is taken as Reload takes it where the editor holds no
    // unsaved edits, and otherwise only noticed in the log box.
    void Update(float deltaSeconds, const CommandQueue& commands);

    CustomScene& m_scene;
    SettingsDlg& m_settingsDlg;
    RealTimeApp::Camera m_initialCamera;

private:
    void HandleMouse(float deltaSeconds, const MouseState& mouse);
    void Zoom(float deltaSeconds, const MouseState& mouse);
    void Orbit(float deltaSeconds, const MouseState& mouse);
    // Space stops and starts the animation clock, Left and Right step it while stopped, Home
    // sets it to 0; the log then says where a stopped clock stands. F12 asks for a screenshot, F1
    // shows or hides the frame-time readout, F11 fills the monitor or goes back to the window, and
    // Escape goes back.
    void HandleKey(const KeyPress& key);
    // Each returns whether the file and the editor now hold the same text.
    bool SavePixelShader();
    bool ReloadPixelShader();
    // Takes the file's text after another program changed it; the log says so above the compile
    // result.
    bool ReloadChangedFile();

    CompileDelay m_compileDelay;
};

}  // namespace Morvane
