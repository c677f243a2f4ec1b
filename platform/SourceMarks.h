// The program's own extension of the multi-line edit box: marks on lines of its text, such as a
// compiler's errors and warnings. A message in the application's range (WM_APP + n), so a plain
// Windows edit control, which knows nothing of it, ignores it and answers 0; on Linux the
// source box (a GtkSourceView) draws each mark as a sign in its line-number gutter, tints the
// line, and shows the mark's text when the pointer rests on the sign.
#pragma once

#include <string>

#include "Windows.h"

// Replaces every mark of the edit box with the ones given: wParam is how many, lParam points to
// the first of that many Platform::SourceMark (null when there are none; zero marks clears them).
// A mark is put at the start of its line and then moves with the text as the user edits it, so
// it stays with the line it marks until the next WM_APP_SETSOURCEMARKS. Lines are counted by
// line feeds, from 1; a mark for a line the text does not have is left out. Answers how many
// marks were put: 0 from a box that shows no marks (a Windows edit control, a read-only box).
#define WM_APP_SETSOURCEMARKS (WM_APP + 1)

namespace Platform {

enum class SourceMarkSeverity { Error, Warning };

// One message about one line. Several marks may name the same line: the sign shows the most
// severe, and the line's tooltip lists all their texts, one per line.
struct SourceMark {
    int line;
    SourceMarkSeverity severity;
    std::wstring text;
};

}  // namespace Platform
