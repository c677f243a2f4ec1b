// The lines of the pixel-shader text that a failed compile's or link's log names, read from the
// log formats of the drivers users have, as marks for the source box.
#pragma once

#include <string>
#include <vector>

#include "platform/SourceMarks.h"

namespace Morvane {

// One mark per message of `log` that names a line, in the log's order, its text the message
// from the driver's word for its severity on. The formats understood, with lines counted from 1
// in all of them:
//   Mesa                            0:12(5): error: ...     0:12(5): warning: ...
//                                   0:12(5): preprocessor error: ...
//   NVIDIA                          0(12) : error C0000: ... 0(12) : warning C7050: ...
//   AMD and Intel on Windows, Apple ERROR: 0:12: ...        WARNING: 0:12: ...
// The leading number is the source string, and the pixel shader is compiled from one string
// alone (0). What the viewer puts before a text (the inputs and `main` of a text in Shadertoy's
// form, ShadertoyProgramText) ends in a `#line` directive that has the compiler count the text's
// first line as line 1, and nothing is put after it, so the lines read here are always those of
// the text in the box. A line of the log in any other form (a link error, the program's own
// messages, a summary), one that names another source string, line 0 or a line past a billion
// gives no mark; its words still stand in the log box.
std::vector<Platform::SourceMark> CompileLogLines(const std::wstring& log);

}  // namespace Morvane
