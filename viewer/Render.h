// The renderer: owns the OpenGL driver, the full-screen quad and the one shader program, hands
// the program its three parameters every frame and recompiles the pixel stage after an edit,
// falling back to the last text that built. A text in Shadertoy's form is compiled wrapped for
// the driver's shading language and handed the inputs it uses instead, with its channels' images.
#pragma once

#include <cstdint>
#include <string>

#include <boost/shared_ptr.hpp>
#include <boost/weak_ptr.hpp>

#include "math/Matrix4x4.h"
#include "opengl/OpenglDriver.h"
#include "platform/Windows.h"
#include "viewer/CustomScene.h"
#include "viewer/FrameRate.h"
#include "viewer/FrameTimeCaption.h"
#include "viewer/FullScreenPicture.h"
#include "viewer/ShaderChannels.h"
#include "viewer/ShadertoyInputs.h"

namespace Morvane {

class SettingsDlg;

class Render {
public:
    Render(HDC dc, RealTimeApp::Scene& scene, SettingsDlg& settingsDlg);
    // Ends the watch over frames first: tearing OpenGL down is no frame.
    ~Render();
    Render(const Render&) = delete;
    Render& operator=(const Render&) = delete;

    // Once per frame: recompiles the pixel stage when the scene says it changed, reports the
    // result in the dialog's log box and sets screen2World, cameraPos and totalTime (for a text in
    // Shadertoy's form, the inputs it uses).
    void Update();

    // Maps a window position in pixels (origin bottom-left) and a depth in [0, 1] to a world
    // point (after division by w), for the scene's current camera and the size the picture is
    // drawn at (m_width x m_height: 800 x 600, or the monitor's while full screen).
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
    // Full screen and the frame-time readout as the scene's window requests say.
    void FollowWindowRequests();

    // The window's device context, whose client area the screenshots show.
    HDC m_dc;
    // The picture on the whole monitor, and the frame-time readout in the window's caption.
    FullScreenPicture m_fullScreen;
    FrameTimeCaption m_frameTimes;
    // What the pixel stage compiles for the user's `text`: the text itself, or for a text in
    // Shadertoy's form the text wrapped for this driver (after its channels' files are read again,
    // when `readChannels`). Throws with one sentence when the driver's shading language is too old
    // for that.
    OpenglDriver::ShaderSource PixelStage(const std::string& text, bool readChannels);
    // After each link: whether the program runs a text in Shadertoy's form, and which inputs.
    void Linked(OpenglDriver::OpenglProgram& program, const std::string& text);
    // Writes a compile result to the log box, below the scene's notice about the loaded text.
    void ShowCompileResult(const std::wstring& result);
    // Tells the watch over frames where the two windows stand, once a second.
    void RecordWindowPlaces();

    // Texts in Shadertoy's form: whether the program runs one, the inputs it uses, the frame rate,
    // the channels and the notices about channel files from their last reading.
    bool m_runsShadertoyText = false;
    ShadertoyInputs m_shadertoyInputs;
    FrameRate m_frameRate;
    ShaderChannels m_channels;
    std::wstring m_channelNotices;
};

}  // namespace Morvane
