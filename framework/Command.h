// One unit of user input (a type code, a snapshot of the mouse state, a narrow text, and a key
// pressed in the main window) and the per-frame queue that collects them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "math/Matrix4x4.h"

namespace Morvane {

enum CommandType : int32_t {
    Mouse = 0,
    ShaderTextChanged = 1,
    SaveShader = 2,
    ReloadShader = 3,
    ResetCamera = 4,
    KeyPressed = 5
};

enum MouseButton : int32_t {
    Left = 0,
    Middle = 1,
    Right = 2,
    Wheel = 3,
    None = 4
};

// The latest mouse event: positions are normalised to the window, x from -1 (left) to +1
// (right), y from +1 (top) to -1 (bottom); the pixel is the pointer's place in the client area as
// the latest message that carries one gave it, from the top-left corner (negative or past the
// edge for a drag that left the window).
struct MouseState {
    Math::Point2 position;
    int32_t pixelX = 0;
    int32_t pixelY = 0;
    Math::Point2 previousPosition;
    Math::Point2 delta;
    int32_t wheelSteps = 0;
    bool buttonDown = false;
    int32_t button = None;
    bool moved = false;
};

// A key pressed in the main window: its virtual-key code, and whether it is held down and
// repeating.
struct KeyPress {
    uint32_t virtualKey = 0;
    bool repeated = false;
};

struct Command {
    int32_t type;
    MouseState mouse;
    std::string text;
    KeyPress key;

    // A Mouse command carrying `mouse`, with an empty text.
    Command(const MouseState& mouse);
    // A command of `type` with a default mouse state.
    Command(int32_t type, const std::string& text = std::string());
    // A KeyPressed command carrying `key`.
    Command(const KeyPress& key);
};

typedef std::vector<Command> CommandQueue;

}  // namespace Morvane
