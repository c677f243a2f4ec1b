// What every control of a dialog shares: its place in the dialog's layout, showing and moving it,
// reporting its rectangles, notifying the dialog, and choosing the kind of control from the
// template's class.
#include <gtk/gtk.h>

#include "Windows.h"
#include "linux/GtkInternal.h"
#include "linux/PosixInternal.h"
#include "linux/UserInternal.h"

namespace Platform {

GtkControl::GtkControl(GtkDialogWindow& dialog, GtkWidget* widget, const RECT& place)
    : m_dialog(dialog), m_widget(widget), m_place(place)
{
    gtk_widget_set_size_request(m_widget, place.right - place.left, place.bottom - place.top);
    gtk_layout_put(GTK_LAYOUT(dialog.Layout()), m_widget, place.left, place.top);
}

void GtkControl::Attach(HWND self, HWND dialog)
{
    m_self = self;
    m_dialogHandle = dialog;
}

LRESULT GtkControl::Deliver(HWND, UINT, WPARAM, LPARAM)
{
    return 0;
}

BOOL GtkControl::Show(int command)
{
    if (!m_widget) {
        return FALSE;
    }
    BOOL wasVisible = gtk_widget_get_visible(m_widget);
    gtk_widget_set_visible(m_widget, command != SW_HIDE);
    return wasVisible;
}

BOOL GtkControl::OuterRect(RECT& rect)
{
    if (!m_widget) {
        return FALSE;
    }
    RECT place = m_place;
    if (gtk_widget_get_mapped(m_widget)) {
        // Where GTK really put the control, which is what the user sees.
        GtkAllocation allocation{};
        gtk_widget_get_allocation(m_widget, &allocation);
        place = RECT{allocation.x, allocation.y, allocation.x + allocation.width,
                     allocation.y + allocation.height};
    }
    POINT origin = m_dialog.ClientOrigin();
    rect = RECT{origin.x + place.left, origin.y + place.top, origin.x + place.right,
                origin.y + place.bottom};
    return TRUE;
}

BOOL GtkControl::ClientRect(RECT& rect)
{
    RECT outer{};
    if (!OuterRect(outer)) {
        return FALSE;
    }
    rect = RECT{0, 0, outer.right - outer.left, outer.bottom - outer.top};
    return TRUE;
}

BOOL GtkControl::Move(int x, int y, int width, int height, BOOL)
{
    if (!m_widget) {
        return FALSE;
    }
    m_place = RECT{x, y, x + width, y + height};
    gtk_widget_set_size_request(m_widget, width, height);
    gtk_layout_move(GTK_LAYOUT(m_dialog.Layout()), m_widget, x, y);
    return TRUE;
}

void GtkControl::DestroyNative()
{
    if (m_widget) {
        Disconnect();
        gtk_widget_destroy(m_widget);
        m_widget = nullptr;
    }
}

void GtkControl::Notify(WORD code)
{
    PostToQueue(m_dialogHandle, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(controlId), code),
                reinterpret_cast<LPARAM>(m_self));
}

std::unique_ptr<GtkControl> CreateGtkControl(GtkDialogWindow& dialog, const DialogItemTemplate& item,
                                             const RECT& place)
{
    bool edit = item.classOrdinal == ControlClassEdit || SameName(item.className, L"Edit");
    bool button = item.classOrdinal == ControlClassButton || SameName(item.className, L"Button");
    DWORD buttonType = item.style & 0x0F;
    if (edit) {
        return CreateGtkEditControl(dialog, item, place);
    }
    if (button && (buttonType == BS_PUSHBUTTON || buttonType == BS_DEFPUSHBUTTON)) {
        return CreateGtkButtonControl(dialog, item, place);
    }
    std::wstring name = item.classOrdinal ? L"#" + std::to_wstring(item.classOrdinal) : item.className;
    SetLastErrorWithNote(ERROR_CANNOT_FIND_WND_CLASS,
                         L"(control " + std::to_wstring(item.id) + L" of class " + name +
                             L": dialogs offer edit boxes and push buttons)");
    return nullptr;
}

std::string MnemonicLabel(const std::wstring& text)
{
    std::wstring label;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'&') {
            if (i + 1 < text.size() && text[i + 1] == L'&') {
                label.push_back(L'&');
                ++i;
            } else {
                label.push_back(L'_');
            }
        } else if (text[i] == L'_') {
            label += L"__";
        } else {
            label.push_back(text[i]);
        }
    }
    return WideToUtf8Text(label);
}

}  // namespace Platform
