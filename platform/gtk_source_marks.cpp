// Marks on the lines of the source box (WM_APP_SETSOURCEMARKS): a sign in the gutter beside the
// line numbers, drawn here rather than taken from an icon theme that a small system may lack (a
// red disc with a white bar for an error, an amber triangle with a dark bar and dot for a
// warning), a tint across the line (red, or a lighter amber), and the marks' texts in a tooltip
// when the pointer rests on the sign.
#include <cairo.h>
#include <gtk/gtk.h>
#include <gtksourceview/gtksource.h>

#include <algorithm>
#include <vector>

#include "Windows.h"
#include "linux/GtkInternal.h"
#include "linux/PosixInternal.h"

namespace Platform {
namespace {

const char kErrorCategory[] = "morvane-error";
const char kWarningCategory[] = "morvane-warning";
// The key under which a mark keeps its text for the tooltip.
const char kTextKey[] = "morvane-mark-text";

const char* CategoryOf(SourceMarkSeverity severity)
{
    return severity == SourceMarkSeverity::Error ? kErrorCategory : kWarningCategory;
}

void DrawErrorSign(cairo_t* cr, double size)
{
    cairo_arc(cr, size / 2, size / 2, size / 2 - 0.5, 0, 2 * G_PI);
    cairo_set_source_rgb(cr, 0.80, 0.08, 0.08);
    cairo_fill(cr);
    const double bar = std::max(2.0, size / 6);
    cairo_rectangle(cr, size * 0.22, (size - bar) / 2, size * 0.56, bar);
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_fill(cr);
}

void DrawWarningSign(cairo_t* cr, double size)
{
    cairo_move_to(cr, size / 2, 0.5);
    cairo_line_to(cr, size - 0.5, size - 1);
    cairo_line_to(cr, 0.5, size - 1);
    cairo_close_path(cr);
    cairo_set_source_rgb(cr, 0.96, 0.66, 0.0);
    cairo_fill(cr);
    const double bar = std::max(1.5, size / 8);
    cairo_set_source_rgb(cr, 0.25, 0.18, 0.0);
    cairo_rectangle(cr, (size - bar) / 2, size * 0.32, bar, size * 0.34);
    cairo_rectangle(cr, (size - bar) / 2, size * 0.73, bar, bar);
    cairo_fill(cr);
}

// The sign of one severity, `size` pixels square.
GdkPixbuf* NewSign(SourceMarkSeverity severity, int size)
{
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, size, size);
    cairo_t* cr = cairo_create(surface);
    if (severity == SourceMarkSeverity::Error) {
        DrawErrorSign(cr, size);
    } else {
        DrawWarningSign(cr, size);
    }
    cairo_destroy(cr);
    cairo_surface_flush(surface);
    GdkPixbuf* pixbuf = gdk_pixbuf_get_from_surface(surface, 0, 0, size, size);
    cairo_surface_destroy(surface);
    return pixbuf;
}

// The size of the gutter's mark column: the height of a line of the view's font less two
// pixels, as GtkSourceView measures it. A sign drawn at that size is shown as it is.
int SignSize(GtkWidget* view)
{
    int height = 16;
    PangoLayout* layout = gtk_widget_create_pango_layout(view, "QWERTY");
    if (layout) {
        pango_layout_get_pixel_size(layout, nullptr, &height);
        g_object_unref(layout);
    }
    return std::max(height - 2, 6);
}

gchar* OnQueryTooltipText(GtkSourceMarkAttributes*, GtkSourceMark* mark, void*)
{
    const char* text = static_cast<const char*>(g_object_get_data(G_OBJECT(mark), kTextKey));
    return g_strdup(text ? text : "");
}

void SetLook(GtkSourceView* view, SourceMarkSeverity severity, int priority)
{
    GtkSourceMarkAttributes* attributes = gtk_source_mark_attributes_new();
    const bool error = severity == SourceMarkSeverity::Error;
    const GdkRGBA tint = error ? GdkRGBA{0.86, 0.10, 0.10, 0.22} : GdkRGBA{0.96, 0.66, 0.0, 0.15};
    gtk_source_mark_attributes_set_background(attributes, &tint);
    g_signal_connect(attributes, "query-tooltip-text", G_CALLBACK(OnQueryTooltipText), nullptr);
    gtk_source_view_set_mark_attributes(view, CategoryOf(severity), attributes, priority);
    g_object_unref(attributes);
}

// Draws both signs at the size the gutter gives them now (the font may have changed since the
// view was made).
void DrawSigns(GtkSourceView* view)
{
    const int size = SignSize(GTK_WIDGET(view));
    for (SourceMarkSeverity severity : {SourceMarkSeverity::Error, SourceMarkSeverity::Warning}) {
        GtkSourceMarkAttributes* attributes =
            gtk_source_view_get_mark_attributes(view, CategoryOf(severity), nullptr);
        GdkPixbuf* sign = NewSign(severity, size);
        gtk_source_mark_attributes_set_pixbuf(attributes, sign);
        g_object_unref(sign);
    }
}

// The character offset at which each line starts, lines counted by line feeds only: the text the
// program reads from the box keeps a lone carriage return inside its line, where GTK would start
// a new one.
std::vector<int> LineStarts(GtkTextBuffer* buffer)
{
    GtkTextIter start;
    GtkTextIter end;
    gtk_text_buffer_get_bounds(buffer, &start, &end);
    gchar* text = gtk_text_buffer_get_text(buffer, &start, &end, TRUE);
    std::vector<int> starts{0};
    int offset = 0;
    for (const gchar* c = text; *c; c = g_utf8_next_char(c)) {
        ++offset;
        if (*c == '\n') {
            starts.push_back(offset);
        }
    }
    g_free(text);
    return starts;
}

}  // namespace

void PrepareSourceMarks(GtkWidget* view)
{
    GtkSourceView* source = GTK_SOURCE_VIEW(view);
    gtk_source_view_set_show_line_marks(source, TRUE);
    // An error's sign is drawn over a warning's on a line that has both, and its tint wins.
    SetLook(source, SourceMarkSeverity::Error, 20);
    SetLook(source, SourceMarkSeverity::Warning, 10);
}

int ReplaceSourceMarks(GtkWidget* view, const SourceMark* marks, size_t count)
{
    GtkSourceBuffer* buffer = GTK_SOURCE_BUFFER(gtk_text_view_get_buffer(GTK_TEXT_VIEW(view)));
    GtkTextIter start;
    GtkTextIter end;
    gtk_text_buffer_get_bounds(GTK_TEXT_BUFFER(buffer), &start, &end);
    gtk_source_buffer_remove_source_marks(buffer, &start, &end, kErrorCategory);
    gtk_source_buffer_remove_source_marks(buffer, &start, &end, kWarningCategory);
    if (count == 0 || !marks) {
        return 0;
    }
    DrawSigns(GTK_SOURCE_VIEW(view));
    const std::vector<int> starts = LineStarts(GTK_TEXT_BUFFER(buffer));
    int placed = 0;
    for (size_t i = 0; i < count; ++i) {
        const SourceMark& mark = marks[i];
        if (mark.line < 1 || static_cast<size_t>(mark.line) > starts.size()) {
            continue;
        }
        GtkTextIter at;
        gtk_text_buffer_get_iter_at_offset(GTK_TEXT_BUFFER(buffer), &at, starts[mark.line - 1]);
        // Right gravity: text typed at the start of the line (a new line pushed in above it)
        // goes before the mark, which stays with the line's own text.
        GObject* made = G_OBJECT(g_object_new(GTK_SOURCE_TYPE_MARK, "category", CategoryOf(mark.severity),
                                              "left-gravity", FALSE, nullptr));
        g_object_set_data_full(made, kTextKey, g_strdup(WideToUtf8Text(mark.text).c_str()), g_free);
        gtk_text_buffer_add_mark(GTK_TEXT_BUFFER(buffer), GTK_TEXT_MARK(made), &at);
        g_object_unref(made);
        ++placed;
    }
    return placed;
}

}  // namespace Platform
