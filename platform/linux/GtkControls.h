// The controls of a dialog: each one a GTK widget in the dialog's layout, placed in pixels
// relative to the dialog's client area, and each one a window with its own handle.
#pragma once

#include <memory>
#include <string>

#include "DialogTemplate.h"
#include "GtkDialogWindow.h"
#include "WindowObject.h"

namespace Platform {

class GtkControl : public WindowObject {
public:
    GtkControl(GtkDialogWindow& dialog, GtkWidget* widget, const RECT& place);

    // Gives the control its own handle and its dialog's, which its notifications carry.
    void Attach(HWND self, HWND dialog);

    LRESULT Deliver(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) override;
    BOOL Show(int command) override;
    BOOL OuterRect(RECT& rect) override;
    BOOL ClientRect(RECT& rect) override;
    BOOL Move(int x, int y, int width, int height, BOOL repaint) override;
    void DestroyNative() override;

protected:
    // Posts WM_COMMAND with `code` in the high word and the control's id in the low word to the
    // dialog, with the control's handle, as a control notifies its parent.
    void Notify(WORD code);
    virtual void Disconnect() {}

    GtkDialogWindow& m_dialog;
    GtkWidget* m_widget;
    HWND m_self = nullptr;
    HWND m_dialogHandle = nullptr;
    RECT m_place;
};

// Creates the control that `item` describes at `place` (pixels in the dialog's client area) and
// puts it into the dialog's layout. Fails with ERROR_CANNOT_FIND_WND_CLASS for a class that is
// not an edit box or a push button.
std::unique_ptr<GtkControl> CreateGtkControl(GtkDialogWindow& dialog, const DialogItemTemplate& item,
                                             const RECT& place);

// The two kinds of control, created by CreateGtkControl from the item's class.
std::unique_ptr<GtkControl> CreateGtkEditControl(GtkDialogWindow& dialog, const DialogItemTemplate& item,
                                                 const RECT& place);
std::unique_ptr<GtkControl> CreateGtkButtonControl(GtkDialogWindow& dialog,
                                                   const DialogItemTemplate& item, const RECT& place);

// A Windows control text with '&' marking the mnemonic, as a GTK label with '_'.
std::string MnemonicLabel(const std::wstring& text);

}  // namespace Platform
