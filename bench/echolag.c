/* echolag: measures how long a typed character takes to appear in a text box (the echo lag).
 *
 * Given an X window that has the keyboard focus with the caret at the end of a line, it types
 * digits through XTest at a fixed interval and times each key from its press to the moment the
 * window's pixels show it, polling a band of the window about every millisecond with XGetImage.
 * Keys are pressed on time whether or not the earlier ones have appeared, so the box may show
 * several at once: the number of characters shown is read from the caret's place, which moves one
 * character width to the right per digit (the box's font must be monospace and the caret must
 * not blink, as GTK's gtk-cursor-blink=false setting makes it).
 *
 * First, three calibration digits are typed slowly: they find the caret's line (the band of rows
 * that changed in the upper part of the window, where the source box is) and the character width.
 * Then, after a quiet lead, come the timed keys. Output, one line each (times in CLOCK_REALTIME
 * nanoseconds, comparable with bench/swapcount.c's log and `date +%s%N`):
 *   calibration band_rows Y0 Y1 columns X0 X1 char_width W
 *   key I PRESS_NS ECHO_NS LAG_MS      (ECHO_NS and LAG_MS are "lost" when the key never showed)
 *   burst FIRST_PRESS_NS LAST_PRESS_NS
 * Usage: echolag --window ID [--interval-ms 100] [--keys 20] [--lead-ms 2000]
 * Exit status: 0 when every key showed, 1 when some did not, 2 when it could not measure.
 */
#define _GNU_SOURCE
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>

/* How long the box must stay unchanged after a calibration key before it counts as settled: longer
   than a compile that follows the key, whether at once or after the viewer's delay. */
static const long kSettleMs = 1000;
/* How long a timed key may take to show before it counts as lost. */
static const long kGiveUpMs = 10000;

typedef struct
{
    int x, y, width, height;
} Area;

/* A failed request (a window that went away) makes Grab return NULL instead of ending the tool. */
static int IgnoreError(Display* display, XErrorEvent* error)
{
    (void)display;
    (void)error;
    return 0;
}

static long long NowNs(void)
{
    struct timespec now;
    clock_gettime(CLOCK_REALTIME, &now);
    return (long long)now.tv_sec * 1000000000LL + now.tv_nsec;
}

static void SleepMs(long ms)
{
    struct timespec pause = {ms / 1000, (ms % 1000) * 1000000L};
    nanosleep(&pause, NULL);
}

/* The window's pixels in the area, or NULL when the window cannot be read. */
static XImage* Grab(Display* display, Window window, Area area)
{
    return XGetImage(display, window, area.x, area.y, (unsigned)area.width, (unsigned)area.height, AllPlanes,
                     ZPixmap);
}

static int SamePixel(const XImage* a, const XImage* b, int x, int y)
{
    const int bytes = a->bits_per_pixel / 8;
    return memcmp(a->data + y * a->bytes_per_line + x * bytes, b->data + y * b->bytes_per_line + x * bytes,
                  (size_t)bytes) == 0;
}

/* The bounding box of the pixels that differ between two grabs of one area (in the area's
   coordinates); false when none does. */
static int ChangedBox(const XImage* a, const XImage* b, Area* box)
{
    int x0 = a->width, y0 = a->height, x1 = -1, y1 = -1;
    for (int y = 0; y < a->height; ++y)
        for (int x = 0; x < a->width; ++x)
            if (!SamePixel(a, b, x, y))
            {
                if (x < x0) x0 = x;
                if (x > x1) x1 = x;
                if (y < y0) y0 = y;
                if (y > y1) y1 = y;
            }
    if (x1 < 0)
        return 0;
    box->x = x0;
    box->y = y0;
    box->width = x1 - x0 + 1;
    box->height = y1 - y0 + 1;
    return 1;
}

/* The rightmost column that differs between two grabs of one area, or -1. */
static int RightmostChange(const XImage* a, const XImage* b)
{
    for (int x = a->width - 1; x >= 0; --x)
        for (int y = 0; y < a->height; ++y)
            if (!SamePixel(a, b, x, y))
                return x;
    return -1;
}

static void PressKey(Display* display, KeyCode key)
{
    XTestFakeKeyEvent(display, key, True, 0);
    XTestFakeKeyEvent(display, key, False, 0);
    XSync(display, False);
}

static KeyCode DigitKey(Display* display, int index)
{
    return XKeysymToKeycode(display, (KeySym)(XK_0 + (index + 1) % 10));
}

/* Waits for the area to differ from `before`, then for it to stay unchanged for kSettleMs, and
   returns the settled grab; NULL when nothing changed, or it did not settle, within kGiveUpMs. */
static XImage* GrabSettled(Display* display, Window window, Area area, const XImage* before)
{
    const long long start = NowNs();
    XImage* last = NULL;
    long long lastChange = 0;
    for (;;)
    {
        XImage* now = Grab(display, window, area);
        if (!now)
            break;
        const long long t = NowNs();
        if (!last)
        {
            if (ChangedBox(before, now, &(Area){0, 0, 0, 0}))
            {
                last = now;
                lastChange = t;
                continue;
            }
            XDestroyImage(now);
            if (t - start > kGiveUpMs * 1000000LL)
                return NULL;
        }
        else
        {
            Area box;
            if (ChangedBox(last, now, &box))
            {
                XDestroyImage(last);
                last = now;
                lastChange = t;
            }
            else
            {
                XDestroyImage(now);
                if (t - lastChange >= kSettleMs * 1000000LL)
                    return last;
            }
            if (t - start > kGiveUpMs * 1000000LL)
            {
                fprintf(stderr, "echolag: the window never stopped changing (a blinking caret?)\n");
                break;
            }
        }
        SleepMs(20);
    }
    if (last)
        XDestroyImage(last);
    return NULL;
}

int main(int argc, char** argv)
{
    Window window = 0;
    long intervalMs = 100, keys = 20, leadMs = 2000;
    for (int i = 1; i + 1 < argc; i += 2)
    {
        if (strcmp(argv[i], "--window") == 0)
            window = (Window)strtoul(argv[i + 1], NULL, 0);
        else if (strcmp(argv[i], "--interval-ms") == 0)
            intervalMs = atol(argv[i + 1]);
        else if (strcmp(argv[i], "--keys") == 0)
            keys = atol(argv[i + 1]);
        else if (strcmp(argv[i], "--lead-ms") == 0)
            leadMs = atol(argv[i + 1]);
        else
            break;
    }
    if (window == 0 || intervalMs <= 0 || keys <= 0 || leadMs < 0 || argc % 2 == 0)
    {
        fprintf(stderr, "usage: echolag --window ID [--interval-ms MS] [--keys N] [--lead-ms MS]\n");
        return 2;
    }
    Display* display = XOpenDisplay(NULL);
    if (!display)
    {
        fprintf(stderr, "echolag: cannot open the display\n");
        return 2;
    }
    XSetErrorHandler(IgnoreError);
    int event, error, major, minor;
    if (!XTestQueryExtension(display, &event, &error, &major, &minor))
    {
        fprintf(stderr, "echolag: the X server has no XTest extension\n");
        return 2;
    }
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(display, window, &attributes) || attributes.map_state != IsViewable)
    {
        fprintf(stderr, "echolag: window 0x%lx is not shown\n", (unsigned long)window);
        return 2;
    }

    /* Calibration: the source box fills the upper part of the dialog. Three digits, each left to
       settle: the first finds the caret's band, the next two the caret's step per character. */
    const Area upper = {0, 0, attributes.width, attributes.height * 7 / 10};
    XImage* before = Grab(display, window, upper);
    if (!before)
    {
        fprintf(stderr, "echolag: cannot read the window's pixels\n");
        return 2;
    }
    PressKey(display, DigitKey(display, 0));
    XImage* after = GrabSettled(display, window, upper, before);
    Area changed;
    if (!after || !ChangedBox(before, after, &changed))
    {
        fprintf(stderr, "echolag: a typed digit did not change the upper part of the window\n");
        return 2;
    }
    XDestroyImage(before);
    XDestroyImage(after);
    /* The caret's line, a little taller, from the left of the change to the window's right edge
       (the characters to come land on the right). */
    Area band;
    band.y = changed.y > 3 ? changed.y - 3 : 0;
    band.height = changed.height + 6;
    if (band.y + band.height > upper.height)
        band.height = upper.height - band.y;
    band.x = changed.x > 3 ? changed.x - 3 : 0;
    band.width = attributes.width - band.x;
    if (changed.height > 60)
    {
        fprintf(stderr, "echolag: a typed digit changed %d rows of the window, not one line\n", changed.height);
        return 2;
    }

    int caret[3];
    XImage* reference = Grab(display, window, band);
    for (int i = 0; i < 2 && reference; ++i)
    {
        PressKey(display, DigitKey(display, i + 1));
        XImage* next = GrabSettled(display, window, band, reference);
        caret[i] = next ? RightmostChange(reference, next) : -1;
        XDestroyImage(reference);
        reference = next;
        if (caret[i] < 0)
            break;
    }
    if (!reference || caret[0] < 0 || caret[1] <= caret[0])
    {
        fprintf(stderr, "echolag: the caret did not move right with the calibration digits\n");
        return 2;
    }
    const double charWidth = (double)(caret[1] - caret[0]);
    const int caretAtStart = caret[1];
    printf("calibration band_rows %d %d columns %d %d char_width %.0f\n", band.y, band.y + band.height - 1, band.x,
           band.x + band.width - 1, charWidth);
    fflush(stdout);
    SleepMs(leadMs);

    /* The timed keys. A key has shown once the caret stands at least that many characters to the
       right of where it stood before the first. */
    long long* press = calloc((size_t)keys, sizeof *press);
    long long* echo = calloc((size_t)keys, sizeof *echo);
    if (!press || !echo)
        return 2;
    long pressed = 0, shown = 0;
    const long long start = NowNs() + 50000000LL;
    long long giveUp = 0;
    while (shown < keys)
    {
        long long now = NowNs();
        if (pressed < keys && now >= start + pressed * intervalMs * 1000000LL)
        {
            press[pressed] = NowNs();
            PressKey(display, DigitKey(display, (int)pressed + 3));
            ++pressed;
            if (pressed == keys)
                giveUp = press[pressed - 1] + kGiveUpMs * 1000000LL;
        }
        /* The pixels are those of the moment the server answers, which may be after it has drawn
           what the editor sent meanwhile: the time of the answer is the one never too early. */
        XImage* grab = Grab(display, window, band);
        now = NowNs();
        if (!grab)
        {
            fprintf(stderr, "echolag: cannot read the window's pixels any more\n");
            break;
        }
        const int right = RightmostChange(reference, grab);
        XDestroyImage(grab);
        if (right >= 0)
        {
            long count = (long)((right - caretAtStart) / charWidth + 0.5);
            if (count > pressed)
                count = pressed; /* never credit a key not yet pressed */
            for (; shown < count; ++shown)
                echo[shown] = now;
        }
        if (giveUp && now > giveUp)
            break;
        SleepMs(1);
    }
    XDestroyImage(reference);

    for (long i = 0; i < pressed; ++i)
    {
        if (i < shown)
            printf("key %ld %lld %lld %.1f\n", i + 1, press[i], echo[i], (double)(echo[i] - press[i]) / 1e6);
        else
            printf("key %ld %lld lost lost\n", i + 1, press[i]);
    }
    printf("burst %lld %lld\n", press[0], press[pressed - 1]);
    free(press);
    free(echo);
    XCloseDisplay(display);
    return shown == keys ? 0 : 1;
}
