// The left button's press, drag and release, kept as iMouse's four numbers.
#include "viewer/ShadertoyMouse.h"

namespace Morvane {

void ShadertoyMouse::NewFrame()
{
    m_pressedThisFrame = false;
}

void ShadertoyMouse::Take(const MouseState& mouse)
{
    if (mouse.button == Left && mouse.buttonDown && !m_down) {
        m_down = true;
        m_pressedThisFrame = true;
        m_pressedEver = true;
        m_pressX = mouse.pixelX;
        m_pressY = mouse.pixelY;
    } else if (mouse.button == Left && !mouse.buttonDown && m_down) {
        m_down = false;
    }
    if (m_down) {
        m_x = mouse.pixelX;
        m_y = mouse.pixelY;
    }
}

void ShadertoyMouse::Value(uint64_t surfaceHeight, float (&value)[4]) const
{
    if (!m_pressedEver) {
        value[0] = value[1] = value[2] = value[3] = 0.0f;
        return;
    }
    const float top = static_cast<float>(surfaceHeight) - 1.0f;
    const float pressX = static_cast<float>(m_pressX);
    const float pressY = top - static_cast<float>(m_pressY);
    value[0] = static_cast<float>(m_x);
    value[1] = top - static_cast<float>(m_y);
    value[2] = m_down ? pressX : -pressX;
    value[3] = m_pressedThisFrame ? pressY : -pressY;
}

}  // namespace Morvane
