// What a viewer that starts itself again after a frame that never finished hands to the new
// start, in one environment variable: why it restarted, how long the picture had stopped, and
// where its two windows stood. Written just before the restart and read once at start.
#pragma once

#include <string>

#include "platform/Windows.h"

namespace Morvane {

// The environment variable that carries the state.
extern const wchar_t* const kRestartVariable;

// What had stopped the picture: a text from the editor, or the shader file's own text.
enum class StallCause { Edit, File };

struct WindowPlaces {
    RECT mainWindow;
    RECT settings;
};

struct RestartState {
    StallCause cause = StallCause::Edit;
    // How long the picture had stopped when the viewer restarted, in seconds.
    float stallSeconds = 0.0f;
    // Whether the windows' places below are known (the restart came before any was read).
    bool placesKnown = false;
    WindowPlaces places = {};
};

// The state as the variable's value, for example
// "cause=edit stall=10 main=0,0,800,629 settings=806,6,1500,629".
std::wstring FormatRestartState(const RestartState& state);

// The state from the variable's value; false (and `state` untouched) for a value that is not
// one FormatRestartState writes.
bool ParseRestartState(const std::wstring& text, RestartState& state);

// The number of seconds written in the way FormatRestartState and the notices write it: no more
// than three decimals, none when it is whole ("10", "2.5").
std::wstring SecondsText(float seconds);

}  // namespace Morvane
