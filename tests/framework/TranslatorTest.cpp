// The mouse-message table of EventCommandTranslator and its edge cases, on the window size the
// application uses (800 x 600).
#include <gtest/gtest.h>

#include "framework/EventCommandTranslator.h"

namespace {

using Morvane::Command;
using Morvane::CommandQueue;
using Morvane::EventCommandTranslator;
using Morvane::MouseState;

const float kWidth = 800.0f;
const float kHeight = 600.0f;

LPARAM Position(unsigned x, unsigned y)
{
    return static_cast<LPARAM>((x & 0xFFFFu) | ((y & 0xFFFFu) << 16));
}

WPARAM WheelDelta(int delta)
{
    return static_cast<WPARAM>((static_cast<unsigned>(delta) & 0xFFFFu) << 16);
}

class TranslatorTest : public ::testing::Test {
protected:
    void Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0)
    {
        m_translator.Translate(message, wParam, lParam, kWidth, kHeight, m_queue);
    }
    void Move(unsigned x, unsigned y) { Send(WM_MOUSEMOVE, 0, Position(x, y)); }
    const MouseState& Last() const { return m_queue.back().mouse; }

    EventCommandTranslator m_translator;
    CommandQueue m_queue;
};

TEST_F(TranslatorTest, FirstMoveHasItsPositionAsDelta)
{
    Move(200, 150);
    ASSERT_EQ(1u, m_queue.size());
    const Command& command = m_queue[0];
    EXPECT_EQ(Morvane::Mouse, command.type);
    EXPECT_TRUE(command.text.empty());
    EXPECT_FLOAT_EQ(-0.5f, command.mouse.position.x);
    EXPECT_FLOAT_EQ(0.5f, command.mouse.position.y);
    EXPECT_EQ(0.0f, command.mouse.previousPosition.x);
    EXPECT_EQ(0.0f, command.mouse.previousPosition.y);
    EXPECT_FLOAT_EQ(-0.5f, command.mouse.delta.x);
    EXPECT_FLOAT_EQ(0.5f, command.mouse.delta.y);
    EXPECT_TRUE(command.mouse.moved);
    EXPECT_EQ(Morvane::None, command.mouse.button);
}

TEST_F(TranslatorTest, PositionsAreNormalisedBy800By600)
{
    Move(0, 0);
    EXPECT_EQ(-1.0f, Last().position.x);
    EXPECT_EQ(1.0f, Last().position.y);
    Move(800, 600);
    EXPECT_EQ(1.0f, Last().position.x);
    EXPECT_EQ(-1.0f, Last().position.y);
    EXPECT_EQ(-1.0f, Last().previousPosition.x);
    EXPECT_EQ(1.0f, Last().previousPosition.y);
    EXPECT_EQ(2.0f, Last().delta.x);
    EXPECT_EQ(-2.0f, Last().delta.y);
    // A client area smaller than the outer 800 x 600 never reaches the edges.
    Move(783, 561);
    EXPECT_LT(Last().position.x, 1.0f);
    EXPECT_GT(Last().position.y, -1.0f);
    EXPECT_FLOAT_EQ((783.0f / 800.0f) * 2.0f - 1.0f, Last().position.x);
    EXPECT_FLOAT_EQ((1.0f - 561.0f / 600.0f) * 2.0f - 1.0f, Last().position.y);
}

TEST_F(TranslatorTest, CoordinatesAreReadAsUnsignedWords)
{
    // A drag outside the window packs -1 as 0xFFFF, which reads as 65535.
    Move(0xFFFFu, 0xFFFFu);
    EXPECT_FLOAT_EQ((65535.0f / 800.0f) * 2.0f - 1.0f, Last().position.x);
    EXPECT_FLOAT_EQ((1.0f - 65535.0f / 600.0f) * 2.0f - 1.0f, Last().position.y);
}

TEST_F(TranslatorTest, ButtonTable)
{
    struct Row {
        UINT message;
        int32_t button;
        bool down;
    };
    const Row rows[] = {
        {WM_LBUTTONDOWN, Morvane::Left, true},   {WM_LBUTTONUP, Morvane::Left, false},
        {WM_RBUTTONDOWN, Morvane::Right, true},  {WM_RBUTTONUP, Morvane::Right, false},
        {WM_MBUTTONDOWN, Morvane::Middle, true}, {WM_MBUTTONUP, Morvane::Middle, false},
    };
    Move(400, 300);
    for (const Row& row : rows) {
        // The coordinates that button messages carry are ignored.
        Send(row.message, 0, Position(10, 20));
        EXPECT_EQ(row.button, Last().button) << row.message;
        EXPECT_EQ(row.down, Last().buttonDown) << row.message;
        EXPECT_EQ(0.0f, Last().position.x) << row.message;
        EXPECT_EQ(0.0f, Last().position.y) << row.message;
    }
    EXPECT_EQ(7u, m_queue.size());
}

TEST_F(TranslatorTest, ButtonAfterMoveKeepsThatMove)
{
    Move(200, 150);
    Move(600, 450);
    Send(WM_LBUTTONDOWN, MK_LBUTTON, Position(1, 1));
    const MouseState& state = Last();
    EXPECT_TRUE(state.moved);
    EXPECT_FLOAT_EQ(0.5f, state.position.x);
    EXPECT_FLOAT_EQ(-0.5f, state.position.y);
    EXPECT_FLOAT_EQ(-0.5f, state.previousPosition.x);
    EXPECT_FLOAT_EQ(0.5f, state.previousPosition.y);
    EXPECT_FLOAT_EQ(1.0f, state.delta.x);
    EXPECT_FLOAT_EQ(-1.0f, state.delta.y);
}

TEST_F(TranslatorTest, DragCarriesLeftButtonDown)
{
    Send(WM_LBUTTONDOWN);
    Move(100, 100);
    Move(110, 105);
    Move(130, 90);
    for (std::size_t i = 1; i < m_queue.size(); ++i) {
        EXPECT_EQ(Morvane::Left, m_queue[i].mouse.button);
        EXPECT_TRUE(m_queue[i].mouse.buttonDown);
    }
    Send(WM_LBUTTONUP);
    EXPECT_FALSE(Last().buttonDown);
    EXPECT_EQ(5u, m_queue.size());
}

TEST_F(TranslatorTest, StateIsTheLatestEventNotASetOfButtons)
{
    Send(WM_LBUTTONDOWN);
    Send(WM_RBUTTONDOWN);
    Send(WM_RBUTTONUP);
    EXPECT_EQ(Morvane::Right, Last().button);
    EXPECT_FALSE(Last().buttonDown);
}

TEST_F(TranslatorTest, WheelStepsTruncateTowardZero)
{
    const struct {
        int delta;
        int32_t steps;
    } rows[] = {{120, 1}, {-120, -1}, {-240, -2}, {360, 3}, {119, 0}, {-119, 0}, {239, 1}};
    for (const auto& row : rows) {
        Send(WM_MOUSEWHEEL, WheelDelta(row.delta), Position(5000, 5000));
        EXPECT_EQ(row.steps, Last().wheelSteps) << row.delta;
        EXPECT_EQ(Morvane::Wheel, Last().button) << row.delta;
    }
    // Every wheel message gives a command, also those below one notch; none moves the pointer.
    EXPECT_EQ(7u, m_queue.size());
    EXPECT_FALSE(Last().moved);
}

TEST_F(TranslatorTest, MoveAfterWheelClearsTheButtonButKeepsTheSteps)
{
    Send(WM_LBUTTONDOWN);
    Send(WM_MOUSEWHEEL, WheelDelta(-240));
    EXPECT_TRUE(Last().buttonDown);
    Move(400, 300);
    EXPECT_EQ(Morvane::None, Last().button);
    EXPECT_EQ(-2, Last().wheelSteps);
    EXPECT_TRUE(Last().buttonDown);
    // A move that does not follow a wheel message leaves the button alone.
    Send(WM_RBUTTONDOWN);
    Move(410, 300);
    EXPECT_EQ(Morvane::Right, Last().button);
}

TEST_F(TranslatorTest, OtherMessagesAreIgnored)
{
    Move(400, 300);
    const UINT ignored[] = {WM_LBUTTONDBLCLK, WM_RBUTTONDBLCLK, WM_MBUTTONDBLCLK, WM_DESTROY,
                            WM_KEYUP,         WM_SIZE,          WM_PAINT,         WM_CLOSE};
    for (UINT message : ignored) {
        Send(message, MK_LBUTTON, Position(1, 2));
    }
    EXPECT_EQ(1u, m_queue.size());
    EXPECT_EQ(Morvane::None, m_translator.State().button);
    EXPECT_FALSE(m_translator.State().buttonDown);
}

// A key press becomes a command of its own with the virtual key and whether it repeats (bit 30
// of lParam), and leaves the mouse state alone.
TEST_F(TranslatorTest, KeyPressesBecomeKeyCommandsWithTheirRepeat)
{
    Move(400, 300);
    Send(WM_KEYDOWN, VK_SPACE, 0x00390001);
    Send(WM_KEYDOWN, VK_RIGHT, 0x414D0001);
    ASSERT_EQ(3u, m_queue.size());
    EXPECT_EQ(Morvane::KeyPressed, m_queue[1].type);
    EXPECT_EQ(static_cast<uint32_t>(VK_SPACE), m_queue[1].key.virtualKey);
    EXPECT_FALSE(m_queue[1].key.repeated);
    EXPECT_EQ(static_cast<uint32_t>(VK_RIGHT), m_queue[2].key.virtualKey);
    EXPECT_TRUE(m_queue[2].key.repeated);
    EXPECT_TRUE(m_translator.State().moved) << "the mouse state is the last move's";
}

TEST_F(TranslatorTest, CommandsAreSnapshotsAppendedAtTheEnd)
{
    m_queue.push_back(Command(Morvane::SaveShader));
    Move(100, 100);
    Move(300, 100);
    ASSERT_EQ(3u, m_queue.size());
    EXPECT_EQ(Morvane::SaveShader, m_queue[0].type);
    EXPECT_FLOAT_EQ(-0.75f, m_queue[1].mouse.position.x);
    EXPECT_FLOAT_EQ(-0.25f, m_queue[2].mouse.position.x);
    EXPECT_FLOAT_EQ(-0.25f, m_translator.State().position.x);
}

}  // namespace
