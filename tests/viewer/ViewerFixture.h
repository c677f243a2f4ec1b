// A viewer assembled from its real parts in a temporary folder: shader files on disk, a main
// window with an OpenGL context, the settings dialog, the renderer and the logic.
#pragma once

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <unistd.h>

#include "framework/Command.h"
#include "framework/Win32Window.h"
#include "tests/support/LayerText.h"
#include "viewer/CustomScene.h"
#include "viewer/Logic.h"
#include "viewer/Render.h"
#include "viewer/SettingsDlg.h"

namespace ViewerTest {

const char* const kVertexShader =
    "#version 120\n"
    "void main() { gl_Position = gl_Vertex; }\n";

// A flat colour that still uses all three parameters, so none is dropped by the compiler.
inline std::string FlatPixelShader(const char* colour)
{
    return std::string("#version 120\n"
                       "uniform mat4 screen2World;\n"
                       "uniform vec3 cameraPos;\n"
                       "uniform float totalTime;\n"
                       "void main() {\n"
                       "    vec4 p = screen2World * vec4(gl_FragCoord.xy, 0.0, 1.0);\n"
                       "    gl_FragColor = vec4(") + colour + ", 1.0);\n"
                       "    if (p.w == 12345.0 || cameraPos.x == 12345.0 || totalTime < -1.0)\n"
                       "        gl_FragColor = vec4(1.0, 0.0, 1.0, 1.0);\n"
                       "}\n";
}

class TemporaryFolder {
public:
    TemporaryFolder()
    {
        char pattern[] = "/tmp/morvane-viewer-XXXXXX";
        m_path = mkdtemp(pattern);
        char cwd[4096];
        m_previous = getcwd(cwd, sizeof cwd);
        EXPECT_EQ(chdir(m_path.c_str()), 0);
    }
    ~TemporaryFolder()
    {
        EXPECT_EQ(chdir(m_previous.c_str()), 0);
        std::system(("rm -rf '" + m_path + "'").c_str());
    }
    void Write(const std::string& name, const std::string& bytes) const
    {
        std::ofstream(m_path + "/" + name, std::ios::binary) << bytes;
    }
    std::string Read(const std::string& name) const
    {
        std::ifstream in(m_path + "/" + name, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    const std::string& Path() const { return m_path; }

private:
    std::string m_path;
    std::string m_previous;
};

// The folder with a glsl/ subfolder holding both shaders.
class ShaderFolder : public TemporaryFolder {
public:
    explicit ShaderFolder(const std::string& pixelShader)
    {
        std::system(("mkdir -p '" + Path() + "/glsl'").c_str());
        Write("glsl/vertexShader.glsl", kVertexShader);
        Write("glsl/pixelShader.glsl", pixelShader);
    }
};

// The viewer's objects in the order the application builds them.
class Viewer {
public:
    explicit Viewer(const std::string& pixelShader)
        : m_folder(pixelShader)
        , m_scene(new Morvane::CustomScene())
        , m_window(new RealTimeApp::Win32Window(L"Morvane viewer test", 800, 600, DefWindowProcW))
        , m_dialog(new Morvane::SettingsDlg(m_commands, *m_scene, m_window->hwnd))
        , m_render(new Morvane::Render(m_window->hdc, *m_scene, *m_dialog))
        , m_logic(new Morvane::Logic(*m_scene, *m_dialog))
    {
    }
    ~Viewer()
    {
        m_logic.reset();
        m_render.reset();
        m_dialog.reset();
        m_window.reset();
        m_scene.reset();
    }

    // One frame as the main loop runs it, minus the message and the present.
    void Frame(float delta = 0.016f)
    {
        m_scene->m_shaderChanged = false;
        m_logic->Update(delta, m_commands);
        m_commands.clear();
        m_render->m_totalTime += delta;
        m_render->Update();
    }

    // A text typed into the source box, then the frames until the typist's pause lets it compile.
    void Type(const std::string& text)
    {
        m_commands.push_back(Morvane::Command(Morvane::ShaderTextChanged, text));
        Frame();
        Frame(Morvane::CompileDelay::kQuietSeconds);
    }

    std::wstring Log() const { return TestSupport::WindowText(m_dialog->m_logEdit); }
    std::wstring Source() const { return TestSupport::WindowText(m_dialog->m_sourceEdit); }

    ShaderFolder m_folder;
    Morvane::CommandQueue m_commands;
    std::unique_ptr<Morvane::CustomScene> m_scene;
    std::unique_ptr<RealTimeApp::Win32Window> m_window;
    std::unique_ptr<Morvane::SettingsDlg> m_dialog;
    std::unique_ptr<Morvane::Render> m_render;
    std::unique_ptr<Morvane::Logic> m_logic;
};

}  // namespace ViewerTest
