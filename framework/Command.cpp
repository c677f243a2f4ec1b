// The three ways to build a command.
#include "framework/Command.h"

namespace Morvane {

Command::Command(const MouseState& mouseState)
    : type(Mouse)
    , mouse(mouseState)
{
}

Command::Command(int32_t commandType, const std::string& commandText)
    : type(commandType)
    , text(commandText)
{
}

Command::Command(const KeyPress& keyPress)
    : type(KeyPressed)
    , key(keyPress)
{
}

}  // namespace Morvane
