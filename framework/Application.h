// The generic application: owns the command queue, the main window, the settings dialog, the
// renderer and the logic, and runs the frame loop (one message at most, then one frame).
#pragma once

#include <GL/glew.h>

#include <string>
#include <vector>

#include <boost/noncopyable.hpp>

#include "framework/FrameTimer.h"
#include "framework/IWindowListener.h"
#include "framework/MainWindow.h"
#include "framework/Scene.h"
#include "opengl/OpenglException.h"
#include "platform/Windows.h"

namespace RealTimeApp {

template <class Render, class Logic, class Command, class EventCommandTranslator, class SettingsDlg>
class Application : boost::noncopyable, public IWindowListener {
public:
    typedef std::vector<Command> CommandQueue;

    // Builds the members in declaration order: queue, window, dialog, scene, renderer, logic.
    Application(unsigned width, unsigned height, const std::wstring& caption, Scene& scene)
        : m_commands()
        , m_window(static_cast<float>(width), static_cast<float>(height), caption, m_commands,
                   *this)
        , m_settingsDlg(m_commands, scene, m_window.Handle())
        , m_scene(&scene)
        , m_render(m_window.DeviceContext(), scene, m_settingsDlg)
        , m_logic(scene, m_settingsDlg)
        , m_windowDestroyed(false)
    {
    }

    void OnWindowDestroyed() override { m_windowDestroyed = true; }

    // Members are torn down in reverse order: renderer, dialog, window, queue.
    ~Application() override = default;

    // The main loop; returns once WM_QUIT has been retrieved.
    void Run()
    {
        FrameTimer timer;
        for (;;) {
            MSG msg = {};
            if (PeekMessageW(&msg, NULL, 0, 0, PM_REMOVE)) {
                TranslateMessage(&msg);
                DispatchMessageW(&msg);
            }
            if (msg.message == WM_QUIT) {
                break;
            }
            if (m_windowDestroyed) {
                continue;
            }
            float delta = timer.Tick();
            if (m_logic.m_scene.m_shaderChanged) {
                m_logic.m_scene.m_shaderChanged = false;
            }
            m_logic.Update(delta, m_commands);
            m_commands.clear();
            m_render.m_totalTime += delta;
            m_render.Update();
            glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
            OpenglDriver::CheckGlError();
            m_render.m_driver->DrawIndexedPrimitive(m_render.m_vertexBufferId,
                                                    m_render.m_indexBufferId,
                                                    m_render.m_instanceCount);
            m_render.m_driver->Present();
        }
    }

private:
    CommandQueue m_commands;
    MainWindow<Command, EventCommandTranslator> m_window;
    SettingsDlg m_settingsDlg;
    Scene* m_scene;
    Render m_render;
    Logic m_logic;
    bool m_windowDestroyed;
};

}  // namespace RealTimeApp
