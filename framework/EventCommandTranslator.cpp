// The mouse-message table: which messages change the mouse state and how; and key presses.
#include "framework/EventCommandTranslator.h"

namespace Morvane {

namespace {

// The signed client coordinates a mouse message carries in the words of lParam.
int32_t ClientX(LPARAM lParam)
{
    return static_cast<int16_t>(LOWORD(lParam));
}

int32_t ClientY(LPARAM lParam)
{
    return static_cast<int16_t>(HIWORD(lParam));
}

}  // namespace

void EventCommandTranslator::Translate(UINT message, WPARAM wParam, LPARAM lParam, float width,
                                       float height, CommandQueue& queue)
{
    if (message == WM_KEYDOWN) {
        KeyPress key;
        key.virtualKey = static_cast<uint32_t>(wParam);
        key.repeated = (static_cast<DWORD>(lParam) & (1u << 30)) != 0;
        queue.push_back(Command(key));
        return;
    }
    // Every mouse message but the wheel's carries the pointer's place in the client area.
    switch (message) {
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
        m_state.pixelX = ClientX(lParam);
        m_state.pixelY = ClientY(lParam);
        break;
    default:
        break;
    }
    switch (message) {
    case WM_MOUSEMOVE: {
        float px = static_cast<float>(LOWORD(lParam));
        float py = static_cast<float>(HIWORD(lParam));
        Math::Point2 position;
        position.x = (px / width) * 2.0f - 1.0f;
        position.y = (1.0f - py / height) * 2.0f - 1.0f;
        if (m_state.button == Wheel) {
            m_state.button = None;
        }
        m_state.previousPosition = m_state.position;
        m_state.position = position;
        m_state.delta.x = m_state.position.x - m_state.previousPosition.x;
        m_state.delta.y = m_state.position.y - m_state.previousPosition.y;
        m_state.moved = true;
        break;
    }
    case WM_LBUTTONDOWN:
        m_state.button = Left;
        m_state.buttonDown = true;
        break;
    case WM_LBUTTONUP:
        m_state.button = Left;
        m_state.buttonDown = false;
        break;
    case WM_RBUTTONDOWN:
        m_state.button = Right;
        m_state.buttonDown = true;
        break;
    case WM_RBUTTONUP:
        m_state.button = Right;
        m_state.buttonDown = false;
        break;
    case WM_MBUTTONDOWN:
        m_state.button = Middle;
        m_state.buttonDown = true;
        break;
    case WM_MBUTTONUP:
        m_state.button = Middle;
        m_state.buttonDown = false;
        break;
    case WM_MOUSEWHEEL:
        m_state.button = Wheel;
        m_state.wheelSteps = static_cast<int32_t>(static_cast<short>(HIWORD(wParam))) / 120;
        break;
    default:
        return;
    }
    queue.push_back(Command(m_state));
}

}  // namespace Morvane
