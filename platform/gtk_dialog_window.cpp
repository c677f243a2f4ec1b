// The dialog's top-level window: a GTK window sized to the template's client area in pixels,
// styled with the dialog font, placed by its outer (frame-inclusive) rectangle like a Windows
// window, and turning the close box into an IDCANCEL command for the dialog procedure.
#include <algorithm>

#include <gdk/gdkx.h>
#include <gtk/gtk.h>

#include "Windows.h"
#include "linux/GtkInternal.h"
#include "linux/UserInternal.h"
#include "linux/PosixInternal.h"

namespace Platform {
namespace {

// Bounds for what the window manager does asynchronously: managing a newly shown window and
// carrying out a move. Both take milliseconds, or seconds on a busy machine; the bounds only stop
// a wait that would not end.
constexpr int ShowMilliseconds = 5000;
constexpr int PlacementMilliseconds = 3000;

int g_dialogCount = 0;

std::string CssString(const std::string& text)
{
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\') {
            quoted.push_back('\\');
        }
        quoted.push_back(c);
    }
    return quoted + "\"";
}

// The dialog font for every widget of the dialog, compact push buttons that fit the template's
// sizes, and a monospace font for source boxes.
std::string DialogCss(const std::string& name, const DialogFont& font)
{
    std::string id = "#" + name;
    return id + ", " + id + " * { font-family: " + CssString(font.family) +
           "; font-size: " + std::to_string(font.points) + "pt; font-weight: " +
           std::to_string(font.weight) + "; font-style: " + (font.italic ? "italic" : "normal") +
           "; }\n" + id + " button { padding: 0 4px; min-height: 0; min-width: 0; }\n" + id +
           " textview.morvane-source { font-family: monospace; }\n";
}

// What the window manager may do with the window, from its style: a modal frame without
// minimise and maximise boxes can only be moved and closed.
GdkWMFunction WindowFunctions(DWORD style)
{
    int functions = GDK_FUNC_MOVE;
    if (style & WS_SYSMENU) {
        functions |= GDK_FUNC_CLOSE;
    }
    if (style & WS_THICKFRAME) {
        functions |= GDK_FUNC_RESIZE;
    }
    if ((style & WS_CAPTION) == WS_CAPTION && (style & WS_MINIMIZEBOX)) {
        functions |= GDK_FUNC_MINIMIZE;
    }
    if ((style & WS_CAPTION) == WS_CAPTION && (style & WS_MAXIMIZEBOX)) {
        functions |= GDK_FUNC_MAXIMIZE;
    }
    return static_cast<GdkWMFunction>(functions);
}

}  // namespace

GtkDialogWindow::GtkDialogWindow(DLGPROC procedure) : m_procedure(procedure) {}

GtkDialogWindow::~GtkDialogWindow()
{
    DestroyNative();
}

void GtkDialogWindow::Build(const DialogTemplate& dialog, HWND self)
{
    m_self = self;
    m_title = dialog.title;
    m_resizable = (dialog.style & WS_THICKFRAME) != 0;
    m_styleName = "morvane-dialog-" + std::to_string(++g_dialogCount);

    m_window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    gtk_widget_set_name(m_window, m_styleName.c_str());
    gtk_window_set_title(GTK_WINDOW(m_window), WideToUtf8Text(m_title).c_str());
    gtk_window_set_type_hint(GTK_WINDOW(m_window), GDK_WINDOW_TYPE_HINT_DIALOG);
    gtk_window_set_resizable(GTK_WINDOW(m_window), m_resizable);
    gtk_window_set_decorated(GTK_WINDOW(m_window), (dialog.style & WS_CAPTION) != 0);
    gtk_window_set_deletable(GTK_WINDOW(m_window), (dialog.style & WS_SYSMENU) != 0);
    gtk_window_set_gravity(GTK_WINDOW(m_window), GDK_GRAVITY_NORTH_WEST);
    g_signal_connect(m_window, "delete-event", G_CALLBACK(OnDelete), this);

    m_layout = gtk_layout_new(nullptr, nullptr);
    gtk_container_add(GTK_CONTAINER(m_window), m_layout);
    gtk_widget_show(m_layout);

    DialogFont font = DesktopFontFor(dialog);
    m_css = gtk_css_provider_new();
    gtk_css_provider_load_from_data(m_css, DialogCss(m_styleName, font).c_str(), -1, nullptr);
    gtk_style_context_add_provider_for_screen(gdk_screen_get_default(), GTK_STYLE_PROVIDER(m_css),
                                              GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
    m_units = MeasureBaseUnits(m_window, font);

    SetClientSize(DialogXToPixels(dialog.cx, m_units), DialogYToPixels(dialog.cy, m_units));
    // A dialog without an owner is placed in screen coordinates.
    m_x = DialogXToPixels(dialog.x, m_units);
    m_y = DialogYToPixels(dialog.y, m_units);
    gtk_window_move(GTK_WINDOW(m_window), m_x, m_y);

    gtk_widget_realize(m_window);
    SetFixedSizeHints();
    gdk_window_set_functions(gtk_widget_get_window(m_window), WindowFunctions(dialog.style));
    m_extents = RequestFrameExtents(Xid());
}

POINT GtkDialogWindow::ClientOrigin()
{
    RECT area{};
    if (Mapped() && ClientAreaOnScreen(Xid(), area)) {
        return POINT{area.left, area.top};
    }
    FrameExtents extents = CurrentExtents();
    return POINT{m_x + extents.left, m_y + extents.top};
}

LRESULT GtkDialogWindow::Deliver(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    // When the procedure returns FALSE the dialog manager's default handling applies, which for
    // these dialogs does nothing.
    return m_procedure ? m_procedure(hwnd, message, wParam, lParam) : 0;
}

BOOL GtkDialogWindow::Show(int command)
{
    if (!m_window) {
        return FALSE;
    }
    BOOL wasVisible = gtk_widget_get_visible(m_window);
    if (command == SW_HIDE) {
        gtk_widget_hide(m_window);
        gdk_display_flush(gdk_display_get_default());
        return wasVisible;
    }
    if (!wasVisible) {
        bool activate = command != SW_SHOWNA && command != SW_SHOWNOACTIVATE;
        gtk_window_set_focus_on_map(GTK_WINDOW(m_window), activate);
        gtk_widget_show(m_window);
        // ShowWindow returns with the window on the screen, as on Windows: wait until the window
        // manager has framed it and put it where it was asked to go.
        unsigned long xid = Xid();
        PumpUntil([xid] { return IsManaged(xid); }, ShowMilliseconds);
        const FrameExtents announced = m_extents;
        ReadFrameExtents(xid, m_extents);
        if (m_outerSizeGiven) {
            // Some managers announce no frame before mapping (or another one): keep the outer
            // size the program asked for by giving the client what the real frame leaves.
            SetClientSize(m_clientWidth + announced.left + announced.right - m_extents.left - m_extents.right,
                          m_clientHeight + announced.top + announced.bottom - m_extents.top - m_extents.bottom);
        }
        if (!PlacedAsRequested()) {
            // Window managers keep a newly mapped window on the screen even where the program
            // placed it; a window that is already shown goes where it is moved, as on Windows.
            gtk_window_move(GTK_WINDOW(m_window), m_x, m_y);
            WaitForPlacement();
        }
    }
    return wasVisible;
}

BOOL GtkDialogWindow::OuterRect(RECT& rect)
{
    if (!m_window) {
        return FALSE;
    }
    FrameExtents extents = CurrentExtents();
    RECT client{};
    if (!Mapped() || !ClientAreaOnScreen(Xid(), client)) {
        client.left = m_x + extents.left;
        client.top = m_y + extents.top;
        client.right = client.left + m_clientWidth;
        client.bottom = client.top + m_clientHeight;
    }
    rect.left = client.left - extents.left;
    rect.top = client.top - extents.top;
    rect.right = client.right + extents.right;
    rect.bottom = client.bottom + extents.bottom;
    return TRUE;
}

BOOL GtkDialogWindow::ClientRect(RECT& rect)
{
    if (!m_window) {
        return FALSE;
    }
    RECT client{};
    rect.left = 0;
    rect.top = 0;
    if (Mapped() && ClientAreaOnScreen(Xid(), client)) {
        rect.right = client.right - client.left;
        rect.bottom = client.bottom - client.top;
    } else {
        rect.right = m_clientWidth;
        rect.bottom = m_clientHeight;
    }
    return TRUE;
}

BOOL GtkDialogWindow::Move(int x, int y, int width, int height, BOOL)
{
    if (!m_window) {
        return FALSE;
    }
    FrameExtents extents = CurrentExtents();
    m_x = x;
    m_y = y;
    SetClientSize(width - extents.left - extents.right, height - extents.top - extents.bottom);
    m_outerSizeGiven = true;
    gtk_window_move(GTK_WINDOW(m_window), x, y);
    if (Mapped()) {
        WaitForPlacement();
    }
    return TRUE;
}

BOOL GtkDialogWindow::SetText(const std::wstring& text)
{
    if (!m_window) {
        return FALSE;
    }
    m_title = text;
    gtk_window_set_title(GTK_WINDOW(m_window), WideToUtf8Text(text).c_str());
    return TRUE;
}

std::wstring GtkDialogWindow::Text()
{
    return m_title;
}

void GtkDialogWindow::DestroyNative()
{
    if (m_css) {
        gtk_style_context_remove_provider_for_screen(gdk_screen_get_default(),
                                                     GTK_STYLE_PROVIDER(m_css));
        g_object_unref(m_css);
        m_css = nullptr;
    }
    if (m_window) {
        gtk_widget_destroy(m_window);
        m_window = nullptr;
        m_layout = nullptr;
        gdk_display_flush(gdk_display_get_default());
    }
}

int GtkDialogWindow::OnDelete(GtkWidget*, GdkEvent*, void* self)
{
    // The close box asks the dialog to cancel; closing it is the dialog procedure's decision.
    auto* dialog = static_cast<GtkDialogWindow*>(self);
    PostToQueue(dialog->m_self, WM_COMMAND, MAKEWPARAM(IDCANCEL, 0), 0);
    return TRUE;
}

unsigned long GtkDialogWindow::Xid() const
{
    GdkWindow* window = m_window ? gtk_widget_get_window(m_window) : nullptr;
    return window ? gdk_x11_window_get_xid(window) : 0;
}

bool GtkDialogWindow::Mapped() const
{
    return m_window && gtk_widget_get_mapped(m_window);
}

FrameExtents GtkDialogWindow::CurrentExtents()
{
    if (Mapped()) {
        ReadFrameExtents(Xid(), m_extents);
    }
    return m_extents;
}

void GtkDialogWindow::SetClientSize(int width, int height)
{
    m_clientWidth = std::max(1, width);
    m_clientHeight = std::max(1, height);
    gtk_widget_set_size_request(m_layout, m_clientWidth, m_clientHeight);
    gtk_layout_set_size(GTK_LAYOUT(m_layout), static_cast<guint>(m_clientWidth),
                        static_cast<guint>(m_clientHeight));
    SetFixedSizeHints();
}

void GtkDialogWindow::SetFixedSizeHints()
{
    // GTK tells the window manager that a fixed-size window cannot be resized only when it shows
    // it; the window manager needs to know before, to tell the frame it will give the window.
    GdkWindow* window = m_window ? gtk_widget_get_window(m_window) : nullptr;
    if (!window || m_resizable) {
        return;
    }
    GdkGeometry geometry{};
    geometry.min_width = geometry.max_width = m_clientWidth;
    geometry.min_height = geometry.max_height = m_clientHeight;
    gdk_window_set_geometry_hints(window, &geometry,
                                  static_cast<GdkWindowHints>(GDK_HINT_MIN_SIZE | GDK_HINT_MAX_SIZE));
}

bool GtkDialogWindow::PlacedAsRequested()
{
    unsigned long xid = Xid();
    RECT client{};
    FrameExtents extents = m_extents;
    ReadFrameExtents(xid, extents);
    return ClientAreaOnScreen(xid, client) && client.left == m_x + extents.left &&
           client.top == m_y + extents.top && client.right - client.left == m_clientWidth &&
           client.bottom - client.top == m_clientHeight;
}

void GtkDialogWindow::WaitForPlacement()
{
    PumpUntil([this] { return PlacedAsRequested(); }, PlacementMilliseconds);
}

}  // namespace Platform
