// The left mouse button as texts in Shadertoy's form see it (iMouse), in pixels of the drawing
// surface from its bottom-left corner: while the button is held, xy is the pointer and zw the
// place it went down; once it is up, xy keeps the last place and z is negative; w is positive
// only in the frame in which the button went down. All four are 0 until the first press.
#pragma once

#include <cstdint>

#include "framework/Command.h"

namespace Morvane {

class ShadertoyMouse {
public:
    // At the start of each frame, before its commands: a press of an earlier frame is no longer new.
    void NewFrame();
    // Takes one mouse command's state: a press, move or release of the left button.
    void Take(const MouseState& mouse);

    // iMouse for the current frame: x, y, then the press's x and y with their signs as above, on a
    // surface `surfaceHeight` pixels high (whose rows count from the bottom, the window's from the top).
    void Value(uint64_t surfaceHeight, float (&value)[4]) const;

private:
    // Places in the window's pixels, from its top-left corner.
    int32_t m_x = 0;
    int32_t m_y = 0;
    int32_t m_pressX = 0;
    int32_t m_pressY = 0;
    bool m_down = false;
    bool m_pressedThisFrame = false;
    bool m_pressedEver = false;
};

}  // namespace Morvane
