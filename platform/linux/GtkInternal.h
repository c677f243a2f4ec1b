// The gtk family's internal header: the GTK session, the window-manager frame, dialog units,
// the dialog window and its controls.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <string>

#include "../SourceMarks.h"
#include "../winapi/BaseTypes.h"
#include "../winapi/DialogApi.h"
#include "ResourcesInternal.h"
#include "UserInternal.h"

typedef struct _XDisplay Display;
typedef struct _GtkWidget GtkWidget;
typedef struct _GtkCssProvider GtkCssProvider;
typedef union _GdkEvent GdkEvent;

namespace Platform {

// The process's GTK session: GTK started once on the X11 backend, its events pumped by a
// message source of PeekMessageW, and the helpers that wait for the window manager and the X
// server without ever blocking for long.

// Starts GTK on the X11 backend (once) and registers its message source. Returns false with a
// last error that names the display when no display can be opened.
bool StartGtk();

// Lets GTK handle at most `maxIterations` of its pending events without waiting.
void PumpGtk(int maxIterations);

// Pumps GTK and polls `done` until it returns true or `milliseconds` have passed; returns the
// last result of `done`.
bool PumpUntil(const std::function<bool()>& done, int milliseconds);

// GDK's own X connection (GTK's windows live on it, not on the layer's other X connection).
Display* GtkXDisplay();

// Edit boxes keep CR LF line ends outside and LF inside GTK: CR LF becomes LF on the way in,
// and an LF that is not already preceded by CR becomes CR LF on the way out. A lone CR stays.
std::wstring CrLfToLf(const std::wstring& text);
std::wstring LfToCrLf(const std::wstring& text);

// What the X server and the window manager know about a dialog's top-level X window: the frame
// the window manager puts around it (_NET_FRAME_EXTENTS), whether it has been managed yet, and
// where its client area stands on the screen.

struct FrameExtents {
    int left = 0;
    int right = 0;
    int top = 0;
    int bottom = 0;
};

// True when an EWMH window manager runs on GDK's screen.
bool WindowManagerPresent();

// Reads _NET_FRAME_EXTENTS of `xid`; false when the property is not there.
bool ReadFrameExtents(unsigned long xid, FrameExtents& extents);

// For a window that is not mapped yet: asks the window manager for the frame it will give the
// window (_NET_REQUEST_FRAME_EXTENTS) and waits for the answer, bounded. No frame without a
// window manager.
FrameExtents RequestFrameExtents(unsigned long xid);

// True once the window is viewable and, with a reparenting window manager, inside its frame.
bool IsManaged(unsigned long xid);

// The client area of `xid` in screen coordinates, as the X server has it now.
bool ClientAreaOnScreen(unsigned long xid, RECT& area);

// Dialog units: the dialog font of a template, mapped to a desktop font, and the dialog base
// units measured from that font's metrics the way Windows measures them.

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

// A modeless dialog built from a template: a GTK top-level window whose client area is a fixed
// layout in which the controls stand at the template's places, converted from dialog units with
// the dialog font's base units. Messages reach the dialog procedure through Deliver.

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

// The controls of a dialog: each one a GTK widget in the dialog's layout, placed in pixels
// relative to the dialog's client area, and each one a window with its own handle.

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

// Marks on the lines of a source view, the program's WM_APP_SETSOURCEMARKS (SourceMarks.h).

// Gives a GtkSourceView the gutter column for marks and the look of each severity.
void PrepareSourceMarks(GtkWidget* view);

// Replaces the marks of that view's text with `count` marks; returns how many were put (a mark
// for a line the text does not have is left out).
int ReplaceSourceMarks(GtkWidget* view, const SourceMark* marks, size_t count);

// A Windows control text with '&' marking the mnemonic, as a GTK label with '_'.
std::string MnemonicLabel(const std::wstring& text);

}  // namespace Platform
