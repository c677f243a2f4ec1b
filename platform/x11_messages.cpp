// The X event message source: turns pending X events of our windows into Win32 mouse messages
// and WM_CLOSE, one message per poll, without ever blocking.
#include <X11/Xlib.h>

#include "Windows.h"
#include "linux/X11Internal.h"

namespace Platform {
namespace {

const int kWheelNotch = 120;

// The MK_* key state of an X modifier and button mask.
WORD KeyState(unsigned int state)
{
    WORD keys = 0;
    if (state & Button1Mask) keys |= MK_LBUTTON;
    if (state & Button2Mask) keys |= MK_MBUTTON;
    if (state & Button3Mask) keys |= MK_RBUTTON;
    if (state & ShiftMask) keys |= MK_SHIFT;
    if (state & ControlMask) keys |= MK_CONTROL;
    return keys;
}

// The MK_* flag of X buttons 1 to 3 (left, middle, right).
WORD ButtonFlag(unsigned int button)
{
    switch (button) {
    case Button1: return MK_LBUTTON;
    case Button2: return MK_MBUTTON;
    case Button3: return MK_RBUTTON;
    default: return 0;
    }
}

// Two signed coordinates as two unsigned 16-bit words, as Windows packs them: a pointer dragged
// out of the window to the left or above gives negative values.
LPARAM PackPoint(int x, int y)
{
    DWORD low = static_cast<DWORD>(x) & 0xFFFFu;
    DWORD high = static_cast<DWORD>(y) & 0xFFFFu;
    return static_cast<LPARAM>(low | (high << 16));
}

void Fill(MSG& msg, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, Time time, int rootX,
          int rootY)
{
    msg = MSG{};
    msg.hwnd = hwnd;
    msg.message = message;
    msg.wParam = wParam;
    msg.lParam = lParam;
    msg.time = static_cast<DWORD>(time);
    msg.pt.x = rootX;
    msg.pt.y = rootY;
}

// Replaces a motion event by the latest of the motions queued right behind it for the same
// window, as Windows keeps only the latest WM_MOUSEMOVE.
void CollapseMotions(Display* display, XEvent& event)
{
    while (XEventsQueued(display, QueuedAfterReading) > 0) {
        XEvent next;
        XPeekEvent(display, &next);
        if (next.type != MotionNotify || next.xmotion.window != event.xmotion.window) {
            return;
        }
        XNextEvent(display, &event);
    }
}

bool TranslateButton(const XButtonEvent& button, HWND hwnd, bool pressed, MSG& msg)
{
    WORD keys = KeyState(button.state);
    if (button.button == Button4 || button.button == Button5) {
        // The wheel's buttons: one notch per press; their releases mean nothing.
        if (!pressed) {
            return false;
        }
        short delta = static_cast<short>(button.button == Button4 ? kWheelNotch : -kWheelNotch);
        Fill(msg, hwnd, WM_MOUSEWHEEL, MAKEWPARAM(keys, static_cast<WORD>(delta)),
             PackPoint(button.x_root, button.y_root), button.time, button.x_root, button.y_root);
        return true;
    }
    WORD flag = ButtonFlag(button.button);
    if (!flag) {
        return false;
    }
    // X reports the state before the event; Win32 the state after it.
    keys = pressed ? static_cast<WORD>(keys | flag) : static_cast<WORD>(keys & ~flag);
    UINT message = 0;
    switch (button.button) {
    case Button1: message = pressed ? WM_LBUTTONDOWN : WM_LBUTTONUP; break;
    case Button2: message = pressed ? WM_MBUTTONDOWN : WM_MBUTTONUP; break;
    default: message = pressed ? WM_RBUTTONDOWN : WM_RBUTTONUP; break;
    }
    Fill(msg, hwnd, message, keys, PackPoint(button.x, button.y), button.time, button.x_root,
         button.y_root);
    return true;
}

bool Translate(Display* display, XEvent& event, MSG& msg)
{
    HWND hwnd = FindHwndOfXWindow(event.xany.window);
    if (!hwnd) {
        return false;
    }
    switch (event.type) {
    case MotionNotify: {
        CollapseMotions(display, event);
        const XMotionEvent& motion = event.xmotion;
        Fill(msg, hwnd, WM_MOUSEMOVE, KeyState(motion.state), PackPoint(motion.x, motion.y),
             motion.time, motion.x_root, motion.y_root);
        return true;
    }
    case ButtonPress:
        return TranslateButton(event.xbutton, hwnd, true, msg);
    case ButtonRelease:
        return TranslateButton(event.xbutton, hwnd, false, msg);
    case ConfigureNotify:
        // Resized by the user through the window manager, or by the program: the GL surface
        // follows. No message is made of it.
        if (X11Window* window = FindX11Window(hwnd)) {
            window->FitSurface();
        }
        return false;
    case ClientMessage:
        if (event.xclient.message_type == X11Atom("WM_PROTOCOLS") && event.xclient.format == 32 &&
            static_cast<Atom>(event.xclient.data.l[0]) == X11Atom("WM_DELETE_WINDOW")) {
            Fill(msg, hwnd, WM_CLOSE, 0, 0, CurrentTime, 0, 0);
            return true;
        }
        return false;
    default:
        return false;
    }
}

}  // namespace

bool TakeX11Message(MSG& msg)
{
    Display* display = X11ConnectionIfOpen();
    if (!display) {
        return false;
    }
    while (XPending(display) > 0) {
        XEvent event;
        XNextEvent(display, &event);
        if (Translate(display, event, msg)) {
            return true;
        }
    }
    return false;
}

}  // namespace Platform
