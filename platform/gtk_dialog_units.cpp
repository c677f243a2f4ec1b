// The dialog font and the conversion from dialog units to pixels. Windows takes the dialog's base
// units from its font: the horizontal one is the average character width of the alphabet in both
// cases, the vertical one the character height; four horizontal and eight vertical dialog units
// make one base unit.
#include <algorithm>
#include <cstdint>

#include <gtk/gtk.h>

#include "linux/GtkInternal.h"
#include "linux/UserInternal.h"
#include "linux/PosixInternal.h"

namespace Platform {
namespace {

bool IsClassicDialogFace(const std::wstring& face)
{
    std::wstring lower = LowerName(face);
    return lower == L"ms shell dlg" || lower == L"ms shell dlg 2" || lower == L"ms sans serif" ||
           lower == L"tahoma" || lower == L"segoe ui" || lower == L"system";
}

// The family of the desktop's interface font (GTK's "gtk-font-name" setting).
std::string DesktopFamily()
{
    gchar* name = nullptr;
    g_object_get(gtk_settings_get_default(), "gtk-font-name", &name, nullptr);
    std::string family = "Sans";
    if (name) {
        PangoFontDescription* description = pango_font_description_from_string(name);
        const char* found = pango_font_description_get_family(description);
        if (found && *found) {
            family = found;
        }
        pango_font_description_free(description);
        g_free(name);
    }
    return family;
}

}  // namespace

DialogFont DesktopFontFor(const DialogTemplate& dialog)
{
    DialogFont font;
    if (!dialog.hasFont || IsClassicDialogFace(dialog.typeface)) {
        font.family = DesktopFamily();
    } else {
        font.family = WideToUtf8Text(dialog.typeface);
    }
    if (dialog.hasFont) {
        font.points = dialog.pointSize > 0 ? dialog.pointSize : 8;
        font.weight = dialog.weight > 0 ? dialog.weight : 400;
        font.italic = dialog.italic;
    }
    return font;
}

BaseUnits MeasureBaseUnits(GtkWidget* widget, const DialogFont& font)
{
    PangoFontDescription* description = pango_font_description_new();
    pango_font_description_set_family(description, font.family.c_str());
    pango_font_description_set_size(description, font.points * PANGO_SCALE);
    pango_font_description_set_weight(description,
                                      static_cast<PangoWeight>(std::clamp(font.weight, 100, 1000)));
    pango_font_description_set_style(description, font.italic ? PANGO_STYLE_ITALIC : PANGO_STYLE_NORMAL);

    PangoContext* context = gtk_widget_get_pango_context(widget);
    PangoLayout* layout = pango_layout_new(context);
    pango_layout_set_font_description(layout, description);
    pango_layout_set_text(layout, "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz", -1);
    int width = 0;
    int height = 0;
    pango_layout_get_pixel_size(layout, &width, &height);

    PangoFontMetrics* metrics = pango_context_get_metrics(context, description, nullptr);
    int ascent = PANGO_PIXELS_CEIL(pango_font_metrics_get_ascent(metrics));
    int descent = PANGO_PIXELS_CEIL(pango_font_metrics_get_descent(metrics));
    pango_font_metrics_unref(metrics);
    g_object_unref(layout);
    pango_font_description_free(description);

    BaseUnits units;
    units.cx = std::max(1, (width / 26 + 1) / 2);
    units.cy = std::max(1, ascent + descent);
    return units;
}

int MulDivRound(int value, int numerator, int denominator)
{
    if (denominator == 0) {
        return -1;
    }
    std::int64_t product = static_cast<std::int64_t>(value) * numerator;
    bool negative = (product < 0) != (denominator < 0);
    std::int64_t magnitude = product < 0 ? -product : product;
    std::int64_t divisor = denominator < 0 ? -static_cast<std::int64_t>(denominator) : denominator;
    std::int64_t rounded = (magnitude + divisor / 2) / divisor;
    return static_cast<int>(negative ? -rounded : rounded);
}

}  // namespace Platform
