// The push button: a GTK button with the control's text as its label; a click (by pointer or
// keyboard) notifies the dialog with BN_CLICKED.
#include <gtk/gtk.h>

#include "Windows.h"
#include "linux/GtkInternal.h"

namespace Platform {
namespace {

class GtkButtonControl : public GtkControl {
public:
    GtkButtonControl(GtkDialogWindow& dialog, const DialogItemTemplate& item, const RECT& place)
        : GtkControl(dialog, gtk_button_new(), place), m_text(item.text)
    {
        gtk_button_set_use_underline(GTK_BUTTON(m_widget), TRUE);
        gtk_button_set_label(GTK_BUTTON(m_widget), MnemonicLabel(m_text).c_str());
        gtk_widget_set_can_focus(m_widget, (item.style & WS_TABSTOP) != 0);
        m_clicked = g_signal_connect(m_widget, "clicked", G_CALLBACK(OnClicked), this);
    }

    BOOL SetText(const std::wstring& text) override
    {
        if (!m_widget) {
            return FALSE;
        }
        m_text = text;
        gtk_button_set_label(GTK_BUTTON(m_widget), MnemonicLabel(text).c_str());
        return TRUE;
    }

    std::wstring Text() override { return m_text; }

private:
    static void OnClicked(GtkButton*, void* self)
    {
        static_cast<GtkButtonControl*>(self)->Notify(BN_CLICKED);
    }

    void Disconnect() override { g_signal_handler_disconnect(m_widget, m_clicked); }

    std::wstring m_text;
    gulong m_clicked = 0;
};

}  // namespace

std::unique_ptr<GtkControl> CreateGtkButtonControl(GtkDialogWindow& dialog,
                                                   const DialogItemTemplate& item, const RECT& place)
{
    return std::make_unique<GtkButtonControl>(dialog, item, place);
}

}  // namespace Platform
