// The echo-lag typist (bench/echolag.c) against a real GTK text box in this process: every key
// it presses lands in the box as one digit, and it never takes a key as shown before the box
// began to draw it, even when the box's thread is busy and several keys show at once.
#include <gtest/gtest.h>
// After GoogleTest: Xlib's macros (None, Bool) would break its headers.
#include <gdk/gdkx.h>
#include <gtk/gtk.h>
#include <time.h>

#include <atomic>
#include <cstdio>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace
{
long long NowNs()
{
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    return static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec;
}

struct Box
{
    GtkWidget* window = nullptr;
    GtkTextBuffer* buffer = nullptr;
    std::vector<long long> insertedNs; // when each typed character reached the box
    std::vector<long long> drawnNs;    // when the box began the first drawing that holds it
    std::atomic<bool> typistDone{false};
    std::string typistOutput;
    int typistStatus = -1;
};

size_t Typed(GtkTextBuffer* buffer)
{
    return static_cast<size_t>(gtk_text_buffer_get_char_count(buffer)) - 2;
}

// Every third edit keeps the thread busy for 120 ms, longer than the 50 ms between keys, as a
// compile on the editor's thread does: keys pile up and the box shows several at once.
void OnChanged(GtkTextBuffer* buffer, gpointer data)
{
    auto* box = static_cast<Box*>(data);
    const long long now = NowNs();
    while (box->insertedNs.size() < Typed(buffer))
        box->insertedNs.push_back(now);
    if (box->insertedNs.size() % 3 == 0)
        g_usleep(120000);
}

gboolean OnDraw(GtkWidget*, cairo_t*, gpointer data)
{
    auto* box = static_cast<Box*>(data);
    const long long now = NowNs();
    while (box->drawnNs.size() < Typed(box->buffer))
        box->drawnNs.push_back(now);
    return FALSE;
}

// Once the box has the focus, runs the typist on it in a thread of its own.
gboolean StartWhenFocused(gpointer data)
{
    auto* box = static_cast<Box*>(data);
    if (!gtk_window_is_active(GTK_WINDOW(box->window)))
        return G_SOURCE_CONTINUE;
    const unsigned long id = gdk_x11_window_get_xid(gtk_widget_get_window(box->window));
    const std::string command =
        std::string(BENCH_ECHOLAG) + " --window " + std::to_string(id) + " --interval-ms 50 --keys 8 --lead-ms 0";
    std::thread([box, command] {
        FILE* typist = popen(command.c_str(), "r");
        char chunk[4096];
        for (size_t n; typist && (n = fread(chunk, 1, sizeof chunk, typist)) > 0;)
            box->typistOutput.append(chunk, n);
        box->typistStatus = typist ? pclose(typist) : -1;
        box->typistDone = true;
    }).detach();
    return G_SOURCE_REMOVE;
}

gboolean QuitWhenTypistDone(gpointer data)
{
    if (!static_cast<Box*>(data)->typistDone)
        return G_SOURCE_CONTINUE;
    gtk_main_quit();
    return G_SOURCE_REMOVE;
}
} // namespace

TEST(Echolag, TimesEveryKeyFromItsPressToItsCharacterOnScreen)
{
    ASSERT_TRUE(gtk_init_check(nullptr, nullptr));
    g_object_set(gtk_settings_get_default(), "gtk-cursor-blink", FALSE, nullptr);
    Box box;
    box.window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    gtk_window_set_default_size(GTK_WINDOW(box.window), 400, 300);
    GtkWidget* view = gtk_text_view_new();
    gtk_text_view_set_monospace(GTK_TEXT_VIEW(view), TRUE);
    gtk_container_add(GTK_CONTAINER(box.window), view);
    box.buffer = gtk_text_view_get_buffer(GTK_TEXT_VIEW(view));
    gtk_text_buffer_set_text(box.buffer, "//", -1);
    GtkTextIter end;
    gtk_text_buffer_get_end_iter(box.buffer, &end);
    gtk_text_buffer_place_cursor(box.buffer, &end);
    g_signal_connect(box.buffer, "changed", G_CALLBACK(OnChanged), &box);
    g_signal_connect(view, "draw", G_CALLBACK(OnDraw), &box);
    gtk_widget_show_all(box.window);
    gtk_window_present(GTK_WINDOW(box.window));
    gtk_widget_grab_focus(view);
    g_timeout_add(100, StartWhenFocused, &box);
    g_timeout_add(50, QuitWhenTypistDone, &box);
    gtk_main();

    ASSERT_EQ(box.typistStatus, 0) << box.typistOutput;
    // Three calibration digits, then the eight timed ones.
    GtkTextIter start;
    gtk_text_buffer_get_bounds(box.buffer, &start, &end);
    gchar* text = gtk_text_buffer_get_text(box.buffer, &start, &end, FALSE);
    EXPECT_STREQ(text, "//12345678901");
    g_free(text);
    ASSERT_EQ(box.insertedNs.size(), 11u);
    ASSERT_EQ(box.drawnNs.size(), 11u);

    std::istringstream lines(box.typistOutput);
    std::string kind;
    int keys = 0;
    for (std::string line; std::getline(lines, line);)
    {
        std::istringstream words(line);
        words >> kind;
        if (kind != "key")
            continue;
        int index = 0;
        long long pressNs = 0, echoNs = 0;
        double lagMs = 0;
        ASSERT_TRUE(words >> index >> pressNs >> echoNs >> lagMs) << line;
        ASSERT_EQ(index, ++keys);
        const size_t typed = static_cast<size_t>(2 + index);
        EXPECT_GE(box.insertedNs[typed], pressNs) << line;
        EXPECT_GE(echoNs, box.drawnNs[typed]) << line;
        EXPECT_NEAR(lagMs, static_cast<double>(echoNs - pressNs) / 1e6, 0.06) << line;
    }
    EXPECT_EQ(keys, 8) << box.typistOutput;
    gtk_widget_destroy(box.window);
}
