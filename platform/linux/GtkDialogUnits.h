// Dialog units: the dialog font of a template, mapped to a desktop font, and the dialog base
// units measured from that font's metrics the way Windows measures them.
#pragma once

#include <string>

#include "DialogTemplate.h"

typedef struct _GtkWidget GtkWidget;

namespace Platform {

struct DialogFont {
    std::string family;
    int points = 8;
    int weight = 400;
    bool italic = false;
};

// The desktop font that stands in for the template's font: the classic dialog faces ("MS Shell
// Dlg" and its relatives) become the desktop's sans-serif family; other faces are asked for by
// name. A template without a font uses the desktop's own interface font.
DialogFont DesktopFontFor(const DialogTemplate& dialog);

// The horizontal and vertical base units in pixels: the average width of the 52 letters A-Z and
// a-z (rounded as Windows rounds it) and the font's height, ascent plus descent.
struct BaseUnits {
    int cx = 0;
    int cy = 0;
};

// Measures `font` with the Pango context (and so the screen resolution) of `widget`.
BaseUnits MeasureBaseUnits(GtkWidget* widget, const DialogFont& font);

// value * numerator / denominator rounded to the nearest integer, halves away from zero (MulDiv).
int MulDivRound(int value, int numerator, int denominator);

// Horizontal and vertical dialog units to pixels, as MapDialogRect converts them.
inline int DialogXToPixels(int units, const BaseUnits& base) { return MulDivRound(units, base.cx, 4); }
inline int DialogYToPixels(int units, const BaseUnits& base) { return MulDivRound(units, base.cy, 8); }

}  // namespace Platform
