// Which pixel texts are written in Shadertoy's form: those that define `mainImage` and no `main`.
#pragma once

#include <string>

namespace Morvane {

// Whether `text` defines a function `mainImage` and no function `main`, at the outermost level
// of the code (a name followed by its parameters in parentheses and a body in braces). Comments,
// quoted strings and the preprocessor's lines are not code: a `main` written in them counts for
// nothing, nor does a declaration without a body or a call.
bool IsShadertoyText(const std::string& text);

}  // namespace Morvane
