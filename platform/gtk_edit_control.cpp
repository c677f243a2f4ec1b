// The multi-line edit box: a text view in a scrolled window whose scroll bars and border follow
// the control's style. The editable box is a source view with GLSL highlighting, line numbers
// and a monospace font that shows the program's marks on lines (gtk_source_marks.cpp); a
// read-only box takes no typing but can be selected and copied. Every change the user makes
// (typing, pasting, deleting, undoing) notifies the dialog with exactly one EN_CHANGE; text set
// by the program notifies nothing and cannot be undone.
#include <gtk/gtk.h>
#include <gtksourceview/gtksource.h>

#include "Windows.h"
#include "linux/GtkInternal.h"
#include "linux/PosixInternal.h"

namespace Platform {
namespace {

GtkWidget* NewScrolledWindow(DWORD style)
{
    GtkWidget* scrolled = gtk_scrolled_window_new(nullptr, nullptr);
    gtk_scrolled_window_set_policy(GTK_SCROLLED_WINDOW(scrolled),
                                   (style & WS_HSCROLL) ? GTK_POLICY_ALWAYS : GTK_POLICY_EXTERNAL,
                                   (style & WS_VSCROLL) ? GTK_POLICY_ALWAYS : GTK_POLICY_EXTERNAL);
    gtk_scrolled_window_set_overlay_scrolling(GTK_SCROLLED_WINDOW(scrolled), FALSE);
    gtk_scrolled_window_set_shadow_type(GTK_SCROLLED_WINDOW(scrolled),
                                        (style & WS_BORDER) ? GTK_SHADOW_IN : GTK_SHADOW_NONE);
    return scrolled;
}

GtkWidget* NewSourceView()
{
    GtkSourceBuffer* buffer = gtk_source_buffer_new(nullptr);
    GtkSourceLanguage* glsl =
        gtk_source_language_manager_get_language(gtk_source_language_manager_get_default(), "glsl");
    if (glsl) {
        gtk_source_buffer_set_language(buffer, glsl);
    }
    gtk_source_buffer_set_highlight_syntax(buffer, TRUE);
    GtkWidget* view = gtk_source_view_new_with_buffer(buffer);
    g_object_unref(buffer);
    gtk_source_view_set_show_line_numbers(GTK_SOURCE_VIEW(view), TRUE);
    gtk_source_view_set_tab_width(GTK_SOURCE_VIEW(view), 4);
    gtk_text_view_set_monospace(GTK_TEXT_VIEW(view), TRUE);
    gtk_style_context_add_class(gtk_widget_get_style_context(view), "morvane-source");
    PrepareSourceMarks(view);
    return view;
}

class GtkEditControl : public GtkControl {
public:
    GtkEditControl(GtkDialogWindow& dialog, const DialogItemTemplate& item, const RECT& place)
        : GtkControl(dialog, NewScrolledWindow(item.style), place)
    {
        bool readOnly = (item.style & ES_READONLY) != 0;
        bool source = (item.style & ES_MULTILINE) != 0 && !readOnly;
        m_view = source ? NewSourceView() : gtk_text_view_new();
        m_buffer = gtk_text_view_get_buffer(GTK_TEXT_VIEW(m_view));
        gtk_text_view_set_editable(GTK_TEXT_VIEW(m_view), !readOnly);
        gtk_text_view_set_cursor_visible(GTK_TEXT_VIEW(m_view), TRUE);
        // Without horizontal scrolling a multi-line edit box wraps its lines.
        bool scrollsHorizontally = (item.style & (ES_AUTOHSCROLL | WS_HSCROLL)) != 0;
        gtk_text_view_set_wrap_mode(GTK_TEXT_VIEW(m_view),
                                    scrollsHorizontally ? GTK_WRAP_NONE : GTK_WRAP_WORD_CHAR);
        gtk_text_view_set_left_margin(GTK_TEXT_VIEW(m_view), 2);
        gtk_widget_set_can_focus(m_view, TRUE);
        gtk_container_add(GTK_CONTAINER(m_widget), m_view);
        gtk_widget_show(m_view);

        m_changed = g_signal_connect(m_buffer, "changed", G_CALLBACK(OnChanged), this);
        m_begin = g_signal_connect(m_buffer, "begin-user-action", G_CALLBACK(OnBeginUserAction), this);
        m_end = g_signal_connect(m_buffer, "end-user-action", G_CALLBACK(OnEndUserAction), this);
        SetText(item.text);
    }

    BOOL SetText(const std::wstring& text) override
    {
        if (!m_widget) {
            return FALSE;
        }
        std::string utf8 = WideToUtf8Text(CrLfToLf(text));
        // Setting the text removes the old one and inserts the new one, two "changed" signals
        // that are not the user's: the dialog hears of neither.
        g_signal_handler_block(m_buffer, m_changed);
        bool source = GTK_SOURCE_IS_BUFFER(m_buffer);
        if (source) {
            gtk_source_buffer_begin_not_undoable_action(GTK_SOURCE_BUFFER(m_buffer));
        }
        gtk_text_buffer_set_text(m_buffer, utf8.c_str(), static_cast<gint>(utf8.size()));
        if (source) {
            gtk_source_buffer_end_not_undoable_action(GTK_SOURCE_BUFFER(m_buffer));
        }
        g_signal_handler_unblock(m_buffer, m_changed);
        return TRUE;
    }

    // The program's own message to mark lines is the source box's; every other box ignores it,
    // as a Windows edit control does.
    LRESULT Deliver(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_APP_SETSOURCEMARKS) {
            if (!m_widget || !GTK_SOURCE_IS_VIEW(m_view)) {
                return 0;
            }
            return ReplaceSourceMarks(m_view, reinterpret_cast<const SourceMark*>(lParam), wParam);
        }
        return GtkControl::Deliver(hwnd, message, wParam, lParam);
    }

    std::wstring Text() override
    {
        if (!m_widget) {
            return std::wstring();
        }
        GtkTextIter start;
        GtkTextIter end;
        gtk_text_buffer_get_bounds(m_buffer, &start, &end);
        gchar* utf8 = gtk_text_buffer_get_text(m_buffer, &start, &end, TRUE);
        std::wstring text = LfToCrLf(Utf8ToWideText(utf8));
        g_free(utf8);
        return text;
    }

private:
    // An edit inside a user action (a paste that replaces the selection deletes and inserts) is
    // one change: it is reported when the outermost action ends.
    static void OnChanged(GtkTextBuffer*, void* self)
    {
        auto* edit = static_cast<GtkEditControl*>(self);
        if (edit->m_actionDepth > 0) {
            edit->m_changedInAction = true;
        } else {
            edit->Notify(EN_CHANGE);
        }
    }

    static void OnBeginUserAction(GtkTextBuffer*, void* self)
    {
        ++static_cast<GtkEditControl*>(self)->m_actionDepth;
    }

    static void OnEndUserAction(GtkTextBuffer*, void* self)
    {
        auto* edit = static_cast<GtkEditControl*>(self);
        if (edit->m_actionDepth > 0 && --edit->m_actionDepth == 0 && edit->m_changedInAction) {
            edit->m_changedInAction = false;
            edit->Notify(EN_CHANGE);
        }
    }

    void Disconnect() override
    {
        g_signal_handler_disconnect(m_buffer, m_changed);
        g_signal_handler_disconnect(m_buffer, m_begin);
        g_signal_handler_disconnect(m_buffer, m_end);
    }

    GtkWidget* m_view = nullptr;
    GtkTextBuffer* m_buffer = nullptr;
    gulong m_changed = 0;
    gulong m_begin = 0;
    gulong m_end = 0;
    int m_actionDepth = 0;
    bool m_changedInAction = false;
};

}  // namespace

std::unique_ptr<GtkControl> CreateGtkEditControl(GtkDialogWindow& dialog, const DialogItemTemplate& item,
                                                 const RECT& place)
{
    return std::make_unique<GtkEditControl>(dialog, item, place);
}

}  // namespace Platform
