// Text as an edit box holds it (wide, CR LF line ends) and as the system keeps it (UTF-8, bare
// line feeds), and the conversions between the two.
#pragma once

#include <string>

namespace Morvane {

// Puts a carriage return before every line feed that does not already follow one.
void ToCrLf(std::wstring& text);
// Removes every carriage return, also one that no line feed follows.
void RemoveCarriageReturns(std::wstring& text);

// Shader text for an edit box; an empty text gives an empty box.
std::wstring ToEditText(const std::string& text);
// An edit box's text for the system; an empty box gives an empty text.
std::string FromEditText(std::wstring text);

}  // namespace Morvane
