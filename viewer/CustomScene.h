// The viewer's scene: the default camera, where the pixel shader lives, both shader texts, the
// one-frame flag that tells the renderer the pixel shader changed, and the notice about the
// pixel text last read.
#pragma once

#include <string>

#include "framework/Scene.h"

namespace Morvane {

class CustomScene : public RealTimeApp::Scene {
public:
    // Builds the default camera and reads both shader files from the current directory.
    CustomScene();
    ~CustomScene() override;

    // Raises the changed flag, then reads the pixel shader file again.
    void ReloadPixelShader();

    std::wstring m_pixelShaderPath;
    std::string m_vertexShaderText;
    std::string m_pixelShaderText;
    bool m_shaderChanged;
    // What the log box must say about the pixel text last read from the file (it was not valid
    // UTF-8); shown above the next compile result, then cleared. Empty when there is nothing.
    std::wstring m_loadNotice;
};

// The camera the viewer starts with: eye (0, 10, 30) looking at the origin, 45 degree vertical
// field of view, aspect 4:3, near 0.1, far 1000.
RealTimeApp::Camera DefaultCamera();

}  // namespace Morvane
