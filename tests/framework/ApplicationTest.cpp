// The generic application with small types of the test's own plugged in, on a real X server
// and a real OpenGL driver: construction and teardown order, the pass structure of the main
// loop (one message, then one frame), the frame timer, the one-frame shader flag, the GL check
// after clearing, and the end of the loop on a quit message or a user's close request.
#include <GL/glew.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include <boost/checked_delete.hpp>
#include <boost/shared_ptr.hpp>

#include "common/Exception.h"
#include "framework/Application.h"
#include "framework/EventCommandTranslator.h"
#include "framework/Scene.h"
#include "opengl/OpenglDriver.h"
#include "tests/support/CloseRequest.h"

namespace {

using Morvane::Command;
using Morvane::CommandQueue;

// What one pass of the loop showed the logic and the renderer.
struct Frame {
    std::vector<Command> commands;
    float delta = 0.0f;
    int64_t countAtLogic = 0;
    bool flagAtLogic = false;
    bool flagAtRender = false;
    float totalTimeAtRender = 0.0f;
};

// Everything the test types observe, and the test's hooks into them.
struct Recorder {
    std::vector<std::string> events;
    std::vector<Frame> frames;
    HWND mainWindow = NULL;
    int updatesOnDestroyedWindow = 0;
    int drawsOnDestroyedWindow = 0;
    bool failRender = false;
    bool contextAtRenderTeardown = false;
    bool windowAtRenderTeardown = false;
    float translateWidth = 0.0f;
    float translateHeight = 0.0f;
    std::function<void(std::size_t frame)> afterLogic;
    std::function<void(std::size_t frame)> inRender;
};

Recorder* g_recorder = nullptr;

class TestScene : public RealTimeApp::Scene {
public:
    TestScene()
        : Scene(RealTimeApp::Camera())
    {
    }
    bool m_shaderChanged = false;
};

class TestDialog {
public:
    TestDialog(CommandQueue& commands, RealTimeApp::Scene& scene, HWND mainWindow)
        : m_commands(commands)
        , m_scene(scene)
    {
        g_recorder->mainWindow = mainWindow;
        g_recorder->events.push_back(IsWindow(mainWindow) ? "dialog" : "dialog without window");
    }
    ~TestDialog()
    {
        g_recorder->events.push_back(IsWindow(g_recorder->mainWindow) ? "~dialog"
                                                                      : "~dialog, window gone");
    }
    CommandQueue& m_commands;
    RealTimeApp::Scene& m_scene;
};

// Records every message that becomes a command, then lets the real translator do the work.
class TestTranslator {
public:
    void Translate(UINT message, WPARAM wParam, LPARAM lParam, float width, float height,
                   CommandQueue& queue)
    {
        const std::size_t before = queue.size();
        m_translator.Translate(message, wParam, lParam, width, height, queue);
        if (queue.size() != before) {
            g_recorder->events.push_back("command");
            g_recorder->translateWidth = width;
            g_recorder->translateHeight = height;
        }
    }

private:
    Morvane::EventCommandTranslator m_translator;
};

// The real driver, with its draws and presents recorded.
class TestDriver {
public:
    explicit TestDriver(HDC dc)
        : m_driver(dc)
    {
    }
    void DrawIndexedPrimitive(int64_t vertexBufferId, int64_t indexBufferId, uint64_t instances)
    {
        g_recorder->events.push_back("draw " + std::to_string(vertexBufferId) + " "
                                     + std::to_string(indexBufferId) + " "
                                     + std::to_string(instances));
        if (!IsWindow(g_recorder->mainWindow)) {
            ++g_recorder->drawsOnDestroyedWindow;
        }
        m_driver.DrawIndexedPrimitive(vertexBufferId, indexBufferId, instances);
    }
    void Present()
    {
        g_recorder->events.push_back("present");
        m_driver.Present();
    }
    OpenglDriver::OpenglDriver m_driver;
};

const char kVertexShader[] =
    "#version 120\nvoid main() { gl_Position = vec4(gl_Vertex.xyz, 1.0); }\n";
const char kPixelShader[] = "#version 120\nvoid main() { gl_FragColor = vec4(1.0); }\n";

class TestRender {
public:
    TestRender(HDC dc, RealTimeApp::Scene& scene, TestDialog& dialog)
        : m_totalTime(0.0f)
        , m_vertexBufferId(-1)
        , m_indexBufferId(-1)
        , m_instanceCount(2)
        , m_scene(dynamic_cast<TestScene&>(scene))
    {
        g_recorder->events.push_back(&dialog.m_scene == &scene ? "render" : "render, other scene");
        if (g_recorder->failRender) {
            throw Common::Exception(L"render failed");
        }
        m_driver.reset(new TestDriver(dc));
        OpenglDriver::OpenglDriver& driver = m_driver->m_driver;
        // Ids 1 and 1, so that the loop is seen to pass the renderer's ids on.
        for (int i = 0; i < 2; ++i) {
            boost::shared_ptr<OpenglDriver::Vertex> vertices(
                new OpenglDriver::Vertex[4], boost::checked_array_deleter<OpenglDriver::Vertex>());
            boost::shared_ptr<int> indices(new int[6], boost::checked_array_deleter<int>());
            const int quad[6] = {0, 1, 2, 0, 2, 3};
            std::copy(quad, quad + 6, indices.get());
            m_vertexBufferId = driver.CreateVertexBuffer(vertices, 4);
            m_indexBufferId = driver.CreateVertexBuffer(indices, 6);
        }
        driver.SetProgram(driver.CreateProgram(
            {{kVertexShader, OpenglDriver::VertexShader}, {kPixelShader, OpenglDriver::PixelShader}}));
    }
    ~TestRender()
    {
        g_recorder->events.push_back("~render");
        g_recorder->contextAtRenderTeardown = wglGetCurrentContext() != NULL;
        g_recorder->windowAtRenderTeardown = IsWindow(g_recorder->mainWindow) != FALSE;
    }
    void Update()
    {
        g_recorder->events.push_back("render update");
        Frame& frame = g_recorder->frames.back();
        frame.flagAtRender = m_scene.m_shaderChanged;
        frame.totalTimeAtRender = m_totalTime;
        if (g_recorder->inRender) {
            g_recorder->inRender(g_recorder->frames.size() - 1);
        }
    }

    float m_totalTime;
    boost::shared_ptr<TestDriver> m_driver;
    int64_t m_vertexBufferId;
    int64_t m_indexBufferId;
    uint64_t m_instanceCount;
    TestScene& m_scene;
};

class TestLogic {
public:
    TestLogic(RealTimeApp::Scene& scene, TestDialog& dialog)
        : m_scene(dynamic_cast<TestScene&>(scene))
    {
        g_recorder->events.push_back(&dialog.m_scene == &scene ? "logic" : "logic, other scene");
    }
    ~TestLogic() { g_recorder->events.push_back("~logic"); }
    void Update(float deltaSeconds, const CommandQueue& commands)
    {
        LARGE_INTEGER now;
        QueryPerformanceCounter(&now);
        g_recorder->events.push_back("logic update");
        if (!IsWindow(g_recorder->mainWindow)) {
            ++g_recorder->updatesOnDestroyedWindow;
        }
        Frame frame;
        frame.commands = commands;
        frame.delta = deltaSeconds;
        frame.countAtLogic = now.QuadPart;
        frame.flagAtLogic = m_scene.m_shaderChanged;
        g_recorder->frames.push_back(frame);
        if (g_recorder->afterLogic) {
            g_recorder->afterLogic(g_recorder->frames.size() - 1);
        }
    }
    TestScene& m_scene;
};

typedef RealTimeApp::Application<TestRender, TestLogic, Command, TestTranslator, TestDialog>
    TestApplication;

// Ends the loop after `frames` frames.
std::function<void(std::size_t)> QuitAfter(std::size_t frames)
{
    return [frames](std::size_t frame) {
        if (frame + 1 == frames) {
            PostQuitMessage(0);
        }
    };
}

LPARAM Position(unsigned x, unsigned y)
{
    return static_cast<LPARAM>(x | (y << 16));
}

// The events from the first occurrence of `from` on.
std::vector<std::string> EventsFrom(const std::string& from)
{
    const std::vector<std::string>& events = g_recorder->events;
    auto start = std::find(events.begin(), events.end(), from);
    return std::vector<std::string>(start, events.end());
}

std::size_t Count(const std::string& event)
{
    return static_cast<std::size_t>(
        std::count(g_recorder->events.begin(), g_recorder->events.end(), event));
}

// True when a quit message waits in the queue; takes every pending message.
bool QuitPending()
{
    bool quit = false;
    MSG msg;
    while (PeekMessageW(&msg, NULL, 0, 0, PM_REMOVE)) {
        quit = quit || msg.message == WM_QUIT;
    }
    return quit;
}

// True when a window class of that name can be registered, i.e. nobody holds it any more.
bool ClassIsFree(const std::wstring& caption)
{
    try {
        RealTimeApp::Win32Window window(caption, 10, 10, DefWindowProcW);
        return true;
    } catch (const Common::Exception&) {
        return false;
    }
}

class ApplicationTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_recorder = &m_recorder;
        // Take whatever an earlier test left in the queue.
        QuitPending();
    }
    void TearDown() override { g_recorder = nullptr; }

    Recorder m_recorder;
    TestScene m_scene;
};

TEST_F(ApplicationTest, BuildsInOrderAndTearsDownInReverse)
{
    {
        TestApplication application(800, 600, L"Framework order", m_scene);
        EXPECT_EQ((std::vector<std::string>{"dialog", "render", "logic"}), m_recorder.events);
        EXPECT_TRUE(IsWindow(m_recorder.mainWindow));
        EXPECT_FALSE(ClassIsFree(L"Framework order"));
        m_recorder.events.clear();
    }
    // The renderer goes while the context and the window exist, the dialog before the window.
    EXPECT_EQ((std::vector<std::string>{"~logic", "~render", "~dialog"}), m_recorder.events);
    EXPECT_TRUE(m_recorder.contextAtRenderTeardown);
    EXPECT_TRUE(m_recorder.windowAtRenderTeardown);
    EXPECT_FALSE(IsWindow(m_recorder.mainWindow));
    EXPECT_EQ(nullptr, wglGetCurrentContext());
    EXPECT_TRUE(ClassIsFree(L"Framework order"));
    // The window went after the application's loop and listener: its WM_DESTROY reached no
    // part of the application and posted no stray quit message.
    EXPECT_FALSE(QuitPending());
}

TEST_F(ApplicationTest, FailedConstructionReleasesWhatWasBuilt)
{
    m_recorder.failRender = true;
    try {
        TestApplication application(800, 600, L"Framework failure", m_scene);
        ADD_FAILURE() << "construction did not fail";
    } catch (const Common::Exception& e) {
        EXPECT_EQ(L"render failed", e.Message());
    }
    EXPECT_EQ((std::vector<std::string>{"dialog", "render", "~dialog"}), m_recorder.events);
    EXPECT_FALSE(IsWindow(m_recorder.mainWindow));
    EXPECT_TRUE(ClassIsFree(L"Framework failure"));
    EXPECT_FALSE(QuitPending());
}

TEST_F(ApplicationTest, OneMessagePerPassAndItsCommandsInThatPass)
{
    TestApplication application(800, 600, L"Framework passes", m_scene);
    ASSERT_TRUE(PostMessageW(m_recorder.mainWindow, WM_MOUSEMOVE, 0, Position(200, 150)));
    ASSERT_TRUE(PostMessageW(m_recorder.mainWindow, WM_LBUTTONDOWN, MK_LBUTTON, Position(1, 1)));
    ASSERT_TRUE(PostMessageW(m_recorder.mainWindow, WM_MOUSEMOVE, MK_LBUTTON, Position(600, 450)));
    m_recorder.afterLogic = QuitAfter(12);
    application.Run();

    // Frames kept coming after the three messages were gone; then WM_QUIT ended the loop.
    ASSERT_EQ(12u, m_recorder.frames.size());
    std::vector<Command> commands;
    for (const Frame& frame : m_recorder.frames) {
        EXPECT_LE(frame.commands.size(), 1u);
        commands.insert(commands.end(), frame.commands.begin(), frame.commands.end());
    }
    ASSERT_EQ(3u, commands.size());
    EXPECT_FLOAT_EQ(-0.5f, commands[0].mouse.position.x);
    EXPECT_FLOAT_EQ(0.5f, commands[0].mouse.position.y);
    EXPECT_EQ(Morvane::Left, commands[1].mouse.button);
    EXPECT_TRUE(commands[1].mouse.buttonDown);
    EXPECT_FLOAT_EQ(0.5f, commands[2].mouse.position.x);
    EXPECT_TRUE(commands[2].mouse.buttonDown);
    EXPECT_EQ(800.0f, m_recorder.translateWidth);
    EXPECT_EQ(600.0f, m_recorder.translateHeight);

    // Every command reached the logic in the pass that dispatched its message.
    const std::vector<std::string>& events = m_recorder.events;
    std::size_t commandEvents = 0;
    for (std::size_t i = 0; i < events.size(); ++i) {
        if (events[i] == "command") {
            ++commandEvents;
            ASSERT_LT(i + 1, events.size());
            EXPECT_EQ("logic update", events[i + 1]);
        }
    }
    EXPECT_EQ(3u, commandEvents);
}

TEST_F(ApplicationTest, RealPointerMotionBecomesAMouseCommand)
{
    TestApplication application(800, 600, L"Framework pointer", m_scene);
    int moved = -1;
    m_recorder.afterLogic = [&moved](std::size_t frame) {
        if (frame == 1) {
            // XTEST moves the pointer to (200, 150) inside the window (it has no frame here).
            moved = std::system("xdotool search --name '^Framework pointer$' "
                                "mousemove --sync --window %1 200 150");
        }
        const Frame& current = g_recorder->frames.back();
        if (!current.commands.empty()) {
            PostQuitMessage(0);
        }
    };
    // The loop runs until the move arrives (or the test's time limit ends it).
    application.Run();
    ASSERT_EQ(0, moved);
    const Command& command = m_recorder.frames.back().commands.back();
    EXPECT_EQ(Morvane::Mouse, command.type);
    EXPECT_TRUE(command.mouse.moved);
    EXPECT_FLOAT_EQ(-0.5f, command.mouse.position.x);
    EXPECT_FLOAT_EQ(0.5f, command.mouse.position.y);
}

TEST_F(ApplicationTest, EachFrameUpdatesThenClearsDrawsAndPresents)
{
    TestApplication application(800, 600, L"Framework frame", m_scene);
    m_recorder.afterLogic = QuitAfter(5);
    application.Run();

    const std::vector<std::string> frame = {"logic update", "render update", "draw 1 1 2",
                                            "present"};
    std::vector<std::string> expected;
    for (int i = 0; i < 5; ++i) {
        expected.insert(expected.end(), frame.begin(), frame.end());
    }
    EXPECT_EQ(expected, EventsFrom("logic update"));

    // The render sees the running sum of the frame times, added before its update.
    float total = 0.0f;
    for (const Frame& f : m_recorder.frames) {
        EXPECT_GE(f.delta, 0.0f);
        total += f.delta;
        EXPECT_EQ(total, f.totalTimeAtRender);
    }
}

TEST_F(ApplicationTest, FirstFrameTimeIsMeasuredFromTheStartOfRun)
{
    TestApplication application(800, 600, L"Framework timer", m_scene);
    // A pause that a timer started at construction would count.
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    LARGE_INTEGER frequency, start;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    m_recorder.afterLogic = QuitAfter(3);
    application.Run();

    ASSERT_EQ(3u, m_recorder.frames.size());
    const double secondsPerCount = 1.0 / static_cast<double>(frequency.QuadPart);
    // The timer starts after `start` and ticks before each logic call, so the first delta fits
    // between `start` and the first logic call, and all of them between `start` and the last.
    const double first =
        static_cast<double>(m_recorder.frames[0].countAtLogic - start.QuadPart) * secondsPerCount;
    EXPECT_GE(m_recorder.frames[0].delta, 0.0f);
    EXPECT_LE(m_recorder.frames[0].delta, first * (1.0 + 1e-5) + 1e-9);
    double sum = 0.0;
    for (const Frame& frame : m_recorder.frames) {
        sum += frame.delta;
    }
    const double all =
        static_cast<double>(m_recorder.frames[2].countAtLogic - start.QuadPart) * secondsPerCount;
    EXPECT_LE(sum, all * (1.0 + 1e-5) + 1e-9);
}

TEST_F(ApplicationTest, ShaderChangedFlagLivesOneFrame)
{
    TestApplication application(800, 600, L"Framework flag", m_scene);
    m_scene.m_shaderChanged = true;  // Left over from before the loop: cleared by frame 0.
    TestScene& scene = m_scene;
    m_recorder.afterLogic = [&scene](std::size_t frame) {
        if (frame == 2) {
            scene.m_shaderChanged = true;  // As the logic does for a new shader text.
        }
        if (frame + 1 == 5) {
            PostQuitMessage(0);
        }
    };
    application.Run();

    ASSERT_EQ(5u, m_recorder.frames.size());
    const bool atLogic[5] = {false, false, false, false, false};
    const bool atRender[5] = {false, false, true, false, false};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(atLogic[i], m_recorder.frames[i].flagAtLogic) << i;
        EXPECT_EQ(atRender[i], m_recorder.frames[i].flagAtRender) << i;
    }
}

TEST_F(ApplicationTest, GlErrorAfterClearingLeavesRunBeforeTheDraw)
{
    TestApplication application(800, 600, L"Framework GL error", m_scene);
    m_recorder.inRender = [](std::size_t frame) {
        if (frame == 2) {
            glEnable(0x7FFF);
        }
    };
    try {
        application.Run();
        ADD_FAILURE() << "Run ended without the GL error";
    } catch (const OpenglDriver::OpenglException& e) {
        EXPECT_EQ(0x0500u, e.Detail().code);
    }
    EXPECT_EQ(3u, m_recorder.frames.size());
    EXPECT_EQ(2u, Count("draw 1 1 2"));
    EXPECT_EQ("render update", m_recorder.events.back());
}

TEST_F(ApplicationTest, UserCloseStopsTheFramesAndEndsRun)
{
    {
        TestApplication application(800, 600, L"Framework close", m_scene);
        bool sent = false;
        m_recorder.afterLogic = [&sent](std::size_t frame) {
            if (frame == 3) {
                sent = TestSupport::SendCloseRequest("Framework close");
            }
        };
        application.Run();
        EXPECT_TRUE(sent);
        EXPECT_FALSE(IsWindow(m_recorder.mainWindow));
        EXPECT_GE(m_recorder.frames.size(), 4u);
        EXPECT_EQ(0, m_recorder.updatesOnDestroyedWindow);
        EXPECT_EQ(0, m_recorder.drawsOnDestroyedWindow);
        EXPECT_EQ(m_recorder.frames.size(), Count("present"));
        m_recorder.events.clear();
    }
    // Teardown after the close: the stale window handle is harmless, the class is released.
    EXPECT_EQ((std::vector<std::string>{"~logic", "~render", "~dialog, window gone"}),
              m_recorder.events);
    EXPECT_TRUE(ClassIsFree(L"Framework close"));
}

}  // namespace
