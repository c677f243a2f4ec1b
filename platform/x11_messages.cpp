// The X event message source: turns pending X events of our windows into Win32 mouse messages,
// keyboard messages for the keys the program handles, and WM_CLOSE, one message per poll, without
// ever blocking.
#include <X11/Xlib.h>
#include <X11/keysym.h>

#include <set>

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

// The virtual-key code of a key the program handles; 0 for every other key, which makes no
// message.
WPARAM VirtualKey(KeySym keysym)
{
    switch (keysym) {
    case XK_Escape: return VK_ESCAPE;
    case XK_space: return VK_SPACE;
    case XK_Home: case XK_KP_Home: return VK_HOME;
    case XK_Left: case XK_KP_Left: return VK_LEFT;
    case XK_Right: case XK_KP_Right: return VK_RIGHT;
    case XK_F1: return VK_F1;
    case XK_F11: return VK_F11;
    case XK_F12: return VK_F12;
    default: return 0;
    }
}

// The keys now held down, so that a press of a held key (auto-repeat) says so, as on Windows.
std::set<unsigned int>& KeysDown()
{
    static std::set<unsigned int> keys;
    return keys;
}

// WM_KEYDOWN or WM_KEYUP with Windows' lParam: a repeat count of 1, the scan code, the extended
// flag of the navigation keys, whether the key was down before, and the transition.
bool TranslateKey(XKeyEvent& key, HWND hwnd, bool pressed, MSG& msg)
{
    const WPARAM virtualKey = VirtualKey(XLookupKeysym(&key, 0));
    const bool wasDown = KeysDown().count(key.keycode) != 0;
    if (pressed) {
        KeysDown().insert(key.keycode);
    } else {
        KeysDown().erase(key.keycode);
    }
    if (!virtualKey) {
        return false;
    }
    DWORD bits = 1u | ((static_cast<DWORD>(key.keycode - 8) & 0xFFu) << 16);
    if (virtualKey == VK_HOME || virtualKey == VK_LEFT || virtualKey == VK_RIGHT) {
        bits |= 1u << 24;
    }
    if (wasDown) {
        bits |= 1u << 30;
    }
    if (!pressed) {
        bits |= 1u << 31;
    }
    Fill(msg, hwnd, pressed ? WM_KEYDOWN : WM_KEYUP, virtualKey, static_cast<LPARAM>(bits), key.time,
         key.x_root, key.y_root);
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
    case KeyPress:
        return TranslateKey(event.xkey, hwnd, true, msg);
    case KeyRelease:
        return TranslateKey(event.xkey, hwnd, false, msg);
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
