// iMouse from the main window's real mouse messages, through the input translator and the commands
// the logic hands on, frame by frame: a press, a drag, the release, and the one frame of positive w.
#include <gtest/gtest.h>

#include <string>

#include "framework/EventCommandTranslator.h"
#include "viewer/ShadertoyMouse.h"

namespace {

using Morvane::Command;
using Morvane::CommandQueue;

const uint64_t kSurfaceHeight = 600;

LPARAM Position(int x, int y)
{
    return static_cast<LPARAM>((static_cast<unsigned>(x) & 0xFFFFu) | ((static_cast<unsigned>(y) & 0xFFFFu) << 16));
}

class ShadertoyMouseTest : public ::testing::Test {
protected:
    void Send(UINT message, int x, int y, WPARAM keys = 0)
    {
        m_translator.Translate(message, keys, Position(x, y), 800.0f, 600.0f, m_queue);
    }
    // One frame as the logic runs it: a new frame, then every mouse command queued since the last.
    std::string Frame()
    {
        m_mouse.NewFrame();
        for (const Command& command : m_queue) {
            m_mouse.Take(command.mouse);
        }
        m_queue.clear();
        float value[4];
        m_mouse.Value(kSurfaceHeight, value);
        std::string text;
        for (float v : value) {
            text += (text.empty() ? "" : " ") + std::to_string(static_cast<int>(v));
        }
        return text;
    }

    Morvane::EventCommandTranslator m_translator;
    CommandQueue m_queue;
    Morvane::ShadertoyMouse m_mouse;
};

TEST_F(ShadertoyMouseTest, NothingBeforeThePress)
{
    EXPECT_EQ(Frame(), "0 0 0 0");
    // Moving without the button changes nothing.
    Send(WM_MOUSEMOVE, 100, 100);
    EXPECT_EQ(Frame(), "0 0 0 0");
}

TEST_F(ShadertoyMouseTest, PressDragAndReleaseWithTheOneFrameOfPositiveW)
{
    // Rows count from the bottom of the 600-pixel surface: window row 100 is surface row 499.
    Send(WM_MOUSEMOVE, 200, 100);
    Send(WM_LBUTTONDOWN, 200, 100, MK_LBUTTON);
    EXPECT_EQ(Frame(), "200 499 200 499");
    // Only the frame of the press has a positive w.
    EXPECT_EQ(Frame(), "200 499 200 -499");

    Send(WM_MOUSEMOVE, 250, 150, MK_LBUTTON);
    Send(WM_MOUSEMOVE, 300, 200, MK_LBUTTON);
    EXPECT_EQ(Frame(), "300 399 200 -499");

    // Released: xy keeps the last place, z turns negative, and moves no longer count.
    Send(WM_LBUTTONUP, 300, 200);
    EXPECT_EQ(Frame(), "300 399 -200 -499");
    Send(WM_MOUSEMOVE, 10, 10);
    EXPECT_EQ(Frame(), "300 399 -200 -499");

    // The next press starts anew.
    Send(WM_LBUTTONDOWN, 10, 10, MK_LBUTTON);
    EXPECT_EQ(Frame(), "10 589 10 589");
}

TEST_F(ShadertoyMouseTest, AClickWithinOneFrameIsUpWithItsPressStillNew)
{
    Send(WM_LBUTTONDOWN, 40, 0, MK_LBUTTON);
    Send(WM_LBUTTONUP, 40, 0);
    EXPECT_EQ(Frame(), "40 599 -40 599");
    EXPECT_EQ(Frame(), "40 599 -40 -599");
}

TEST_F(ShadertoyMouseTest, TheRightAndMiddleButtonsAndTheWheelAreNotThePress)
{
    Send(WM_RBUTTONDOWN, 100, 100, MK_RBUTTON);
    Send(WM_MBUTTONDOWN, 100, 100, MK_MBUTTON);
    EXPECT_EQ(Frame(), "0 0 0 0");
    // A drag that leaves the window goes on past its edges.
    Send(WM_LBUTTONDOWN, 5, 590, MK_LBUTTON);
    Send(WM_MOUSEMOVE, -20, 620, MK_LBUTTON);
    EXPECT_EQ(Frame(), "-20 -21 5 9");
}

}  // namespace
