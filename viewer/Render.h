// The renderer: owns the OpenGL driver, the full-screen quad and the one shader program, hands
// the program its three parameters every frame and recompiles the pixel stage after an edit,
// falling back to the last text that built.
#pragma once

#include <cstdint>
#include <string>

#include <boost/shared_ptr.hpp>
#include <boost/weak_ptr.hpp>

#include "math/Matrix4x4.h"
#include "opengl/OpenglDriver.h"
#include "platform/Windows.h"
#include "viewer/CustomScene.h"

namespace Morvane {

class SettingsDlg;

class Render {
public:
    Render(HDC dc, RealTimeApp::Scene& scene, SettingsDlg& settingsDlg);

    // Once per frame: recompiles the pixel stage when the scene says it changed, reports the
    // result in the dialog's log box and sets screen2World, cameraPos and totalTime.
    void Update();

    // Maps a window position in pixels (origin bottom-left) and a depth in [0, 1] to a world
    // point (after division by w), for the scene's current camera.
    Math::Matrix4x4 ScreenToWorld() const;

    uint64_t m_width;
    uint64_t m_height;
    CustomScene& m_scene;
    boost::shared_ptr<OpenglDriver::OpenglDriver> m_driver;
    boost::weak_ptr<OpenglDriver::OpenglProgram> m_program;
    int64_t m_vertexBufferId;
    int64_t m_indexBufferId;
    uint64_t m_instanceCount;
    std::string m_lastGoodPixelShader;
    SettingsDlg& m_settingsDlg;
    float m_totalTime;

private:
    void BuildQuad();
    void BuildProgram();
    void UpdateParameters();
    // Draws the frame as the window shows it and saves it, when the user asked for a picture;
    // the log says where it went or why it could not be saved.
    void TakeScreenshotIfAsked();

    // The window's device context, whose client area the screenshots show.
    HDC m_dc;
    // Writes a compile result to the log box, below the scene's notice about the loaded text.
    void ShowCompileResult(const std::wstring& result);
};

}  // namespace Morvane
