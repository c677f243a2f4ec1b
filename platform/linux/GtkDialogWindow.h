// A modeless dialog built from a template: a GTK top-level window whose client area is a fixed
// layout in which the controls stand at the template's places, converted from dialog units with
// the dialog font's base units. Messages reach the dialog procedure through Deliver.
#pragma once

#include <string>

#include "../winapi/DialogApi.h"
#include "DialogTemplate.h"
#include "GtkDialogUnits.h"
#include "GtkWindowFrame.h"
#include "WindowObject.h"

typedef struct _GtkWidget GtkWidget;
typedef struct _GtkCssProvider GtkCssProvider;
typedef union _GdkEvent GdkEvent;

namespace Platform {

class GtkDialogWindow : public WindowObject {
public:
    explicit GtkDialogWindow(DLGPROC procedure);
    ~GtkDialogWindow() override;

    // Creates the hidden top-level window for `dialog` (no controls yet) and learns the frame the
    // window manager will give it. `self` is the dialog's handle, which its events name.
    void Build(const DialogTemplate& dialog, HWND self);

    // The layout that holds the controls, the base units and the CSS name that styles them.
    GtkWidget* Layout() const { return m_layout; }
    const BaseUnits& Units() const { return m_units; }
    const std::string& StyleName() const { return m_styleName; }

    // The client area's top-left corner in screen coordinates.
    POINT ClientOrigin();

    LRESULT Deliver(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) override;
    BOOL Show(int command) override;
    BOOL OuterRect(RECT& rect) override;
    BOOL ClientRect(RECT& rect) override;
    BOOL Move(int x, int y, int width, int height, BOOL repaint) override;
    BOOL SetText(const std::wstring& text) override;
    std::wstring Text() override;
    void DestroyNative() override;

private:
    static int OnDelete(GtkWidget* widget, GdkEvent* event, void* self);

    unsigned long Xid() const;
    bool Mapped() const;
    FrameExtents CurrentExtents();
    void SetClientSize(int width, int height);
    void SetFixedSizeHints();
    // True when the X server shows the client area at the requested place and size.
    bool PlacedAsRequested();
    // Waits, bounded, until the X server shows the client area at the requested place and size.
    void WaitForPlacement();

    DLGPROC m_procedure;
    HWND m_self = nullptr;
    GtkWidget* m_window = nullptr;
    GtkWidget* m_layout = nullptr;
    GtkCssProvider* m_css = nullptr;
    std::string m_styleName;
    std::wstring m_title;
    BaseUnits m_units;
    FrameExtents m_extents;
    // The requested outer position and client size.
    int m_x = 0;
    int m_y = 0;
    int m_clientWidth = 0;
    int m_clientHeight = 0;
    // True once the program has given the outer size (MoveWindow): that size then holds when
    // the window manager's real frame turns out other than the one it announced.
    bool m_outerSizeGiven = false;
    bool m_resizable = false;
};

}  // namespace Platform
