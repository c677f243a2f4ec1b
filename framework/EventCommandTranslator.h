// Turns the main window's mouse messages into Mouse commands while keeping the running mouse
// state, and its key presses into KeyPressed commands.
#pragma once

#include "framework/Command.h"
#include "platform/Windows.h"

namespace Morvane {

class EventCommandTranslator {
public:
    // For a handled mouse message: updates the state and appends one Mouse command to `queue`.
    // A WM_KEYDOWN appends one KeyPressed command. Any other message changes nothing. `width`
    // and `height` normalise the pointer position.
    void Translate(UINT message, WPARAM wParam, LPARAM lParam, float width, float height,
                   CommandQueue& queue);

    const MouseState& State() const { return m_state; }

private:
    MouseState m_state;
};

}  // namespace Morvane
