// GTK on the X11 backend: started by InitCommonControlsEx (or by the first dialog), pumped by the
// "gtk" message source that PeekMessageW polls in turn with its other sources, and the line-end
// conversions between the Windows side (CR LF) and GTK (LF).
#include <cerrno>
#include <cstdlib>

#include <gdk/gdkx.h>
#include <gtk/gtk.h>

#include "Windows.h"
#include "linux/PosixInternal.h"
#include "linux/GtkInternal.h"
#include "linux/UserInternal.h"
#include "linux/X11Internal.h"

namespace Platform {
namespace {

bool g_started = false;

// Each poll handles a bounded number of GTK's events, so that a stream of them (pointer motion,
// redraws) cannot hold up the main loop; whatever GTK's handlers post comes out of the queue.
constexpr int EventsPerPoll = 64;

bool PollGtk(MSG&)
{
    PumpGtk(EventsPerPoll);
    return false;
}

}  // namespace

bool StartGtk()
{
    if (g_started) {
        return true;
    }
    // Once per process: GDK keeps a copy of the list on every call, and a start that failed
    // (no display yet) may be tried again.
    static bool backendChosen = false;
    if (!backendChosen) {
        gdk_set_allowed_backends("x11");
        backendChosen = true;
    }
    // The window manager names the dialogs' application (WM_CLASS) after the program.
    if (!g_get_prgname()) {
        g_set_prgname(program_invocation_short_name);
    }
    // GDK_DPI_SCALE comes with GDK_SCALE, to undo the doubling of text that the window scale
    // brings; with the window scale held at 1 (below) it would only shrink the dialog's text.
    if (g_getenv("GDK_SCALE")) {
        g_unsetenv("GDK_DPI_SCALE");
    }
    if (!gtk_init_check(nullptr, nullptr)) {
        const char* display = std::getenv("DISPLAY");
        std::wstring name = display && *display ? Utf8ToWideText(display) : L"(DISPLAY is not set)";
        SetLastErrorWithNote(ERROR_DEVICE_NOT_AVAILABLE,
                             L"GTK could not open the X display " + name + L" for the dialogs.");
        return false;
    }
    // The dialogs are laid out and placed in device pixels, like the windows: a scaled desktop
    // (GDK_SCALE, or the desktop's own setting) must not double GTK's units under them.
    gdk_x11_display_set_window_scale(gdk_display_get_default(), 1);
    g_started = true;
    // GDK has just put in its own handler for a lost X connection, which ends the process
    // silently; ours says which display was lost.
    HandleX11ConnectionLoss();
    AddMessageSource("gtk", PollGtk);
    return true;
}

void PumpGtk(int maxIterations)
{
    if (!g_started) {
        return;
    }
    for (int i = 0; i < maxIterations && gtk_events_pending(); ++i) {
        gtk_main_iteration_do(FALSE);
    }
}

bool PumpUntil(const std::function<bool()>& done, int milliseconds)
{
    return WaitUntil(done, milliseconds, [] { PumpGtk(EventsPerPoll); });
}

Display* GtkXDisplay()
{
    return gdk_x11_display_get_xdisplay(gdk_display_get_default());
}

std::wstring CrLfToLf(const std::wstring& text)
{
    std::wstring result;
    result.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n') {
            continue;
        }
        result.push_back(text[i]);
    }
    return result;
}

std::wstring LfToCrLf(const std::wstring& text)
{
    std::wstring result;
    result.reserve(text.size() + text.size() / 16);
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'\n' && (i == 0 || text[i - 1] != L'\r')) {
            result.push_back(L'\r');
        }
        result.push_back(text[i]);
    }
    return result;
}

}  // namespace Platform

BOOL WINAPI InitCommonControlsEx(const INITCOMMONCONTROLSEX* controls)
{
    if (!controls || controls->dwSize != sizeof(INITCOMMONCONTROLSEX)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    return Platform::StartGtk() ? TRUE : FALSE;
}
