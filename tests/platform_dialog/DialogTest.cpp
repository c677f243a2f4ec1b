// The viewer's settings dialog, created from its embedded template on a real display with a
// window manager, and used the way a user uses it: its size and layout in dialog units, its
// initialisation, texts in and out, typing, pasting, buttons, the close box and placement, all
// on a desktop scaled to 200 %; and the program's own message that marks lines of the source box.
#include <algorithm>
#include <cstdlib>
#include <sstream>

#include <gtest/gtest.h>

#include "DialogDriver.h"
#include "platform/SourceMarks.h"
#include "platform/Windows.h"
#include "tests/support/LayerText.h"
#include "tests/support/MessageRecorder.h"
#include "viewer/SettingsDlgIds.h"

using namespace DialogDriver;
using namespace TestSupport;

bool operator==(const RECT& a, const RECT& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

std::ostream& operator<<(std::ostream& out, const RECT& r)
{
    return out << "(" << r.left << ", " << r.top << ")-(" << r.right << ", " << r.bottom << ")";
}

namespace {

const LPARAM InitParam = 0x5EED;

int MulDiv(int value, int numerator, int denominator)
{
    return (value * numerator + denominator / 2) / denominator;
}

// What the X server says about a window: its client area (xwininfo) and the frame the window
// manager put around it (xprop).
struct XPlacement {
    int x = 0, y = 0, width = 0, height = 0;
    int frameLeft = 0, frameRight = 0, frameTop = 0, frameBottom = 0;
};

int ValueAfter(const std::string& text, const std::string& label)
{
    size_t at = text.find(label);
    return at == std::string::npos ? -1 : std::stoi(text.substr(at + label.size()));
}

XPlacement QueryXPlacement(unsigned long xwindow)
{
    std::string info;
    std::string extents;
    DialogDriver::Run({"xwininfo", "-id", std::to_string(xwindow)}, &info);
    DialogDriver::Run({"xprop", "-id", std::to_string(xwindow), "_NET_FRAME_EXTENTS"}, &extents);
    XPlacement placement;
    placement.x = ValueAfter(info, "Absolute upper-left X:");
    placement.y = ValueAfter(info, "Absolute upper-left Y:");
    placement.width = ValueAfter(info, "Width:");
    placement.height = ValueAfter(info, "Height:");
    std::string values = extents.substr(extents.find('=') + 1);
    std::replace(values.begin(), values.end(), ',', ' ');
    std::istringstream in(values);
    in >> placement.frameLeft >> placement.frameRight >> placement.frameTop >> placement.frameBottom;
    return placement;
}

class SettingsDialog : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        // As a desktop scaled to 200 % sets them for its programs: GTK's units would then be two
        // pixels, and its text half its size to make up for it. The dialog is laid out and
        // placed in pixels all the same, so every size and place below is the unscaled one.
        setenv("GDK_SCALE", "2", 1);
        setenv("GDK_DPI_SCALE", "0.5", 1);
        INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_BAR_CLASSES};
        ASSERT_EQ(InitCommonControlsEx(&controls), TRUE);
    }

    void SetUp() override
    {
        ClearReceived();
        m_dialog = CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_SETTINGS),
                                      nullptr, RecordingDialogProc, InitParam);
        ASSERT_NE(m_dialog, nullptr);
        m_source = GetDlgItem(m_dialog, IDC_SOURCE_EDIT);
        m_log = GetDlgItem(m_dialog, IDC_LOG_EDIT);
        ASSERT_NE(m_source, nullptr);
        ASSERT_NE(m_log, nullptr);
    }

    void TearDown() override
    {
        if (m_dialog) {
            EXPECT_EQ(DestroyWindow(m_dialog), TRUE);
        }
        PumpMessages();
    }

    void ShowAndFind()
    {
        ShowWindow(m_dialog, SW_SHOW);
        ASSERT_TRUE(PumpUntil([this] { return (m_xwindow = FindXWindow("Settings")) != 0; }));
    }

    static RECT Rect(HWND hwnd)
    {
        RECT rect{};
        EXPECT_EQ(GetWindowRect(hwnd, &rect), TRUE);
        return rect;
    }

    // Focuses a control by clicking it, as a user does.
    void ClickControl(HWND control) { ActivateAndClick(m_xwindow, Rect(control)); }

    static size_t ChangesOf(HWND control)
    {
        size_t count = 0;
        for (const Received& command : Commands()) {
            if (HIWORD(command.wParam) == EN_CHANGE) {
                EXPECT_EQ(command.lParam, reinterpret_cast<LPARAM>(control));
                ++count;
            }
        }
        return count;
    }

    // Waits until the control's text is `text`, then checks how many EN_CHANGE arrived with it.
    void ExpectTextAfterChanges(HWND control, const std::wstring& text, size_t changes)
    {
        EXPECT_TRUE(PumpUntil([&] { return WindowText(control) == text; }))
            << "text is \"" << std::string(WindowText(control).begin(), WindowText(control).end())
            << "\"";
        PumpMessages();
        EXPECT_EQ(ChangesOf(control), changes);
        ClearReceived();
    }

    HWND m_dialog = nullptr;
    HWND m_source = nullptr;
    HWND m_log = nullptr;
    unsigned long m_xwindow = 0;
};

TEST_F(SettingsDialog, InitialisesInsideCreationWithTheGivenParameter)
{
    // WM_INITDIALOG came before CreateDialogParamW returned, with the parameter, proposing the
    // first tab stop (the source box) for the focus.
    ASSERT_FALSE(ReceivedMessages().empty());
    const Received& init = ReceivedMessages().front();
    EXPECT_EQ(init.message, static_cast<UINT>(WM_INITDIALOG));
    EXPECT_EQ(init.hwnd, m_dialog);
    EXPECT_EQ(init.lParam, InitParam);
    EXPECT_EQ(init.wParam, reinterpret_cast<WPARAM>(m_source));

    EXPECT_EQ(WindowText(m_dialog), L"Settings");
    EXPECT_EQ(GetWindowTextLengthW(m_dialog), 8);
    EXPECT_EQ(WindowText(GetDlgItem(m_dialog, IDC_RELOAD)), L"Reload");
    EXPECT_EQ(WindowText(GetDlgItem(m_dialog, IDC_SAVE)), L"Save");
    EXPECT_EQ(WindowText(GetDlgItem(m_dialog, IDC_RESET_CAMERA)), L"Reset Camera");
    EXPECT_EQ(WindowText(m_source), L"");
    for (int id : {IDC_SOURCE_EDIT, IDC_RELOAD, IDC_SAVE, IDC_LOG_EDIT, IDC_RESET_CAMERA}) {
        EXPECT_EQ(GetWindowLongPtrW(GetDlgItem(m_dialog, id), GWLP_ID), id);
    }
    EXPECT_EQ(GetDlgItem(m_dialog, IDCANCEL), nullptr);

    // The template has no WS_VISIBLE: the dialog waits for ShowWindow.
    EXPECT_EQ(ShowWindow(m_dialog, SW_SHOW), FALSE);
    EXPECT_EQ(ShowWindow(m_dialog, SW_SHOW), TRUE);

    // Destroying the dialog tells its procedure and takes the controls with it.
    ClearReceived();
    ASSERT_EQ(DestroyWindow(m_dialog), TRUE);
    ASSERT_EQ(ReceivedMessages().size(), 1u);
    EXPECT_EQ(ReceivedMessages()[0].message, static_cast<UINT>(WM_DESTROY));
    EXPECT_FALSE(IsWindow(m_dialog));
    EXPECT_FALSE(IsWindow(m_source));
    m_dialog = nullptr;
}

TEST_F(SettingsDialog, UnknownTemplateIsNotFound)
{
    ClearReceived();
    HWND missing = CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(999), nullptr,
                                      RecordingDialogProc, 0);
    EXPECT_EQ(missing, nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_NAME_NOT_FOUND));
    EXPECT_TRUE(ReceivedMessages().empty());
}

TEST_F(SettingsDialog, SizeAndLayoutFollowTheTemplatesDialogUnits)
{
    // Still hidden, at the screen origin, the outer rectangle already includes the frame the
    // window manager will add: this is what the viewer measures before it shows the dialog.
    RECT hidden = Rect(m_dialog);
    RECT client{};
    ASSERT_EQ(GetClientRect(m_dialog, &client), TRUE);
    EXPECT_EQ(hidden.left, 0);
    EXPECT_EQ(hidden.top, 0);
    int frameWidth = (hidden.right - hidden.left) - client.right;
    int frameHeight = (hidden.bottom - hidden.top) - client.bottom;
    EXPECT_GT(frameWidth, 0);
    EXPECT_GT(frameHeight, frameWidth);  // the title bar

    ShowAndFind();
    EXPECT_EQ(Rect(m_dialog), hidden);
    RECT shownClient{};
    GetClientRect(m_dialog, &shownClient);
    EXPECT_EQ(shownClient, client);

    // 368 x 350 dialog units: the width is 92 horizontal base units, the height 43.75 vertical.
    ASSERT_EQ(client.right % 92, 0) << client.right;
    int cx = client.right / 92;
    int cy = 0;
    for (int candidate = 1; candidate < 64 && cy == 0; ++candidate) {
        if (MulDiv(350, candidate, 8) == client.bottom) {
            cy = candidate;
        }
    }
    // An 8-point font at the screen's resolution.
    EXPECT_GE(cx, 4);
    EXPECT_LE(cx, 9);
    EXPECT_GE(cy, 10);
    EXPECT_LE(cy, 18);

    // The X server agrees on the client area, and each control stands where the template puts it.
    XPlacement x = QueryXPlacement(m_xwindow);
    EXPECT_EQ(x.width, client.right);
    EXPECT_EQ(x.height, client.bottom);
    EXPECT_EQ(x.frameLeft + x.frameRight, frameWidth);
    EXPECT_EQ(x.frameTop + x.frameBottom, frameHeight);
    struct Place {
        int id, x, y, cx, cy;
    };
    for (Place place : {Place{IDC_SOURCE_EDIT, 7, 7, 354, 245}, Place{IDC_LOG_EDIT, 7, 279, 354, 64},
                        Place{IDC_RELOAD, 327, 256, 33, 17}, Place{IDC_SAVE, 292, 256, 32, 18},
                        Place{IDC_RESET_CAMERA, 7, 255, 51, 18}}) {
        SCOPED_TRACE(place.id);
        RECT expected{x.x + MulDiv(place.x, cx, 4), x.y + MulDiv(place.y, cy, 8),
                      x.x + MulDiv(place.x + place.cx, cx, 4), x.y + MulDiv(place.y + place.cy, cy, 8)};
        EXPECT_EQ(Rect(GetDlgItem(m_dialog, place.id)), expected);
    }
}

TEST_F(SettingsDialog, MoveWindowPlacesTheOuterRectangle)
{
    ShowAndFind();
    RECT before = Rect(m_dialog);
    RECT clientBefore{};
    GetClientRect(m_dialog, &clientBefore);
    int width = before.right - before.left;
    int height = before.bottom - before.top;

    ASSERT_EQ(MoveWindow(m_dialog, 306, 126, width, height + 40, TRUE), TRUE);
    EXPECT_EQ(Rect(m_dialog), (RECT{306, 126, 306 + width, 126 + height + 40}));
    RECT client{};
    GetClientRect(m_dialog, &client);
    EXPECT_EQ(client.right, clientBefore.right);
    EXPECT_EQ(client.bottom, clientBefore.bottom + 40);

    XPlacement x = QueryXPlacement(m_xwindow);
    EXPECT_EQ(x.x - x.frameLeft, 306);
    EXPECT_EQ(x.y - x.frameTop, 126);
    EXPECT_EQ(x.width + x.frameLeft + x.frameRight, width);
    EXPECT_EQ(x.height + x.frameTop + x.frameBottom, height + 40);

    // Controls keep their place in the client area when the dialog moves.
    RECT source = Rect(m_source);
    EXPECT_EQ(source.left - x.x, Rect(m_log).left - x.x);
    EXPECT_GT(source.left, 306);
}

TEST_F(SettingsDialog, ShowingKeepsThePlaceGivenEvenPartlyOffTheScreen)
{
    // The viewer puts the dialog right of its main window, which may reach past the screen's
    // edge; the window manager must not push it back over the main window.
    std::string root;
    DialogDriver::Run({"xwininfo", "-root"}, &root);
    int screenWidth = ValueAfter(root, "Width:");
    ASSERT_GT(screenWidth, 0);
    RECT hidden = Rect(m_dialog);
    int width = hidden.right - hidden.left;
    int height = hidden.bottom - hidden.top;
    ASSERT_EQ(MoveWindow(m_dialog, screenWidth - width / 2, 40, width, height, TRUE), TRUE);
    ShowAndFind();
    EXPECT_EQ(Rect(m_dialog), (RECT{screenWidth - width / 2, 40, screenWidth - width / 2 + width, 40 + height}));
    XPlacement x = QueryXPlacement(m_xwindow);
    EXPECT_EQ(x.x - x.frameLeft, screenWidth - width / 2);
}

TEST_F(SettingsDialog, TextsSetByTheProgramComeBackUnchangedAndNotifyNothing)
{
    const std::wstring texts[] = {
        L"void main()\r\n{\r\n    gl_FragColor = vec4(1.0);\r\n}\r\n",
        L"a lone\rcarriage return",
        L"\u00e9t\u00e9 \u20ac \U0001F600\r\n",
        L"",
    };
    for (const std::wstring& text : texts) {
        EXPECT_EQ(SetWindowTextW(m_source, text.c_str()), TRUE);
        EXPECT_EQ(WindowText(m_source), text);
        EXPECT_EQ(GetWindowTextLengthW(m_source), static_cast<int>(text.size()));
        EXPECT_EQ(SetWindowTextW(m_log, text.c_str()), TRUE);
        EXPECT_EQ(WindowText(m_log), text);
    }
    // A short buffer gets what fits, terminated.
    SetWindowTextW(m_source, L"abc\r\ndef");
    wchar_t small[4];
    EXPECT_EQ(GetWindowTextW(m_source, small, 4), 3);
    EXPECT_EQ(std::wstring(small), L"abc");

    SetWindowTextW(m_dialog, L"Shader settings");
    EXPECT_EQ(WindowText(m_dialog), L"Shader settings");
    ShowWindow(m_dialog, SW_SHOW);
    PumpMessages();
    EXPECT_TRUE(Commands().empty());
    ASSERT_TRUE(PumpUntil([] { return FindXWindow("Shader settings") != 0; }));
}

TEST_F(SettingsDialog, TypingNotifiesOncePerKeystroke)
{
    SetWindowTextW(m_source, L"a\r\nb\r\n");
    ShowAndFind();
    ClickControl(m_source);
    Keys({"ctrl+End"});
    PumpMessages();
    ClearReceived();

    Type("xyz");
    ExpectTextAfterChanges(m_source, L"a\r\nb\r\nxyz", 3);
    Keys({"Return"});
    ExpectTextAfterChanges(m_source, L"a\r\nb\r\nxyz\r\n", 1);
    Keys({"BackSpace", "BackSpace"});
    ExpectTextAfterChanges(m_source, L"a\r\nb\r\nxy", 2);

    // Undo is a user's edit too; the text set by the program cannot be undone.
    std::wstring before = WindowText(m_source);
    Keys({"ctrl+z"});
    EXPECT_TRUE(PumpUntil([&] { return WindowText(m_source) != before; }));
    PumpMessages();
    EXPECT_EQ(ChangesOf(m_source), 1u);
    ClearReceived();
    for (int i = 0; i < 10; ++i) {
        Keys({"ctrl+z"});
    }
    Type("!");
    EXPECT_TRUE(PumpUntil([&] { return WindowText(m_source).back() == L'!'; }));
    EXPECT_EQ(WindowText(m_source).substr(0, 6), L"a\r\nb\r\n");
}

TEST_F(SettingsDialog, APasteIsOneChangeAndKeepsALoneCarriageReturn)
{
    SetWindowTextW(m_source, L"old text");
    ShowAndFind();
    // xclip serves the clipboard for as long as it runs.
    std::string pasted = "p\rq\r\nr";
    std::string file = testing::TempDir() + "paste.txt";
    FILE* out = fopen(file.c_str(), "wb");
    ASSERT_NE(out, nullptr);
    fwrite(pasted.data(), 1, pasted.size(), out);
    fclose(out);
    int clipboard = Start({"xclip", "-quiet", "-selection", "clipboard", file});
    ASSERT_GT(clipboard, 0);

    ClickControl(m_source);
    Keys({"ctrl+a"});
    PumpMessages();
    ClearReceived();
    Keys({"ctrl+v"});
    ExpectTextAfterChanges(m_source, L"p\rq\r\nr", 1);
    Stop(clipboard);
}

TEST_F(SettingsDialog, ButtonsNotifyTheirClicks)
{
    ShowAndFind();
    HWND reload = GetDlgItem(m_dialog, IDC_RELOAD);
    HWND save = GetDlgItem(m_dialog, IDC_SAVE);
    HWND reset = GetDlgItem(m_dialog, IDC_RESET_CAMERA);
    PumpMessages();
    ClearReceived();
    for (HWND button : {reload, save, save, reset}) {
        ClickControl(button);
    }
    ASSERT_TRUE(PumpUntil([] { return Commands().size() >= 4; }));
    PumpMessages();
    std::vector<Received> commands = Commands();
    ASSERT_EQ(commands.size(), 4u);
    const std::pair<int, HWND> expected[] = {{IDC_RELOAD, reload}, {IDC_SAVE, save}, {IDC_SAVE, save},
                                             {IDC_RESET_CAMERA, reset}};
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(commands[i].hwnd, m_dialog);
        EXPECT_EQ(commands[i].wParam, MAKEWPARAM(expected[i].first, BN_CLICKED));
        EXPECT_EQ(commands[i].lParam, reinterpret_cast<LPARAM>(expected[i].second));
    }
}

TEST_F(SettingsDialog, TheCloseBoxAsksToCancelAndClosesNothing)
{
    ShowAndFind();
    DialogDriver::Run({"xdotool", "windowactivate", "--sync", std::to_string(m_xwindow)});
    PumpMessages();
    ClearReceived();
    // The window manager's close action sends WM_DELETE_WINDOW.
    Keys({"alt+F4"});
    ASSERT_TRUE(PumpUntil([] { return !Commands().empty(); }));
    std::vector<Received> commands = Commands();
    ASSERT_EQ(commands.size(), 1u);
    EXPECT_EQ(commands[0].hwnd, m_dialog);
    EXPECT_EQ(commands[0].wParam, MAKEWPARAM(IDCANCEL, 0));
    EXPECT_EQ(commands[0].lParam, 0);
    EXPECT_TRUE(IsWindow(m_dialog));
    EXPECT_EQ(FindXWindow("Settings"), m_xwindow);
}

TEST_F(SettingsDialog, OnlyTheSourceBoxTakesMarksAndCountsItsLinesByLineFeeds)
{
    using Platform::SourceMarkSeverity;
    // Three lines as the program reads them: the lone carriage return does not start a line.
    SetWindowTextW(m_source, L"one\r\ntwo\rstill two\r\nthree");
    const Platform::SourceMark marks[] = {
        {2, SourceMarkSeverity::Error, L"error: first"},
        {2, SourceMarkSeverity::Warning, L"warning: second"},
        {3, SourceMarkSeverity::Error, L"on the last line"},
        {4, SourceMarkSeverity::Error, L"past the text"},
        {0, SourceMarkSeverity::Warning, L"before the text"},
    };
    const LPARAM list = reinterpret_cast<LPARAM>(marks);
    EXPECT_EQ(SendMessageW(m_source, WM_APP_SETSOURCEMARKS, 5, list), 3);
    EXPECT_EQ(SendMessageW(m_source, WM_APP_SETSOURCEMARKS, 1, list), 1);
    EXPECT_EQ(SendMessageW(m_source, WM_APP_SETSOURCEMARKS, 0, 0), 0);
    // The other boxes ignore the message, as a Windows edit control does, and so do buttons.
    EXPECT_EQ(SendMessageW(m_log, WM_APP_SETSOURCEMARKS, 5, list), 0);
    EXPECT_EQ(SendMessageW(GetDlgItem(m_dialog, IDC_SAVE), WM_APP_SETSOURCEMARKS, 5, list), 0);
    EXPECT_EQ(WindowText(m_source), L"one\r\ntwo\rstill two\r\nthree") << "marks leave the text alone";
    PumpMessages();
    EXPECT_TRUE(Commands().empty()) << "marks are no edit: no EN_CHANGE";

    // Sent to the dialog, a message reaches its procedure at once; sent to no window, nowhere.
    ClearReceived();
    EXPECT_EQ(SendMessageW(m_dialog, WM_APP + 7, 3, 4), 0);
    ASSERT_EQ(ReceivedMessages().size(), 1u);
    EXPECT_EQ(ReceivedMessages()[0].message, static_cast<UINT>(WM_APP + 7));
    EXPECT_EQ(ReceivedMessages()[0].wParam, 3u);
    EXPECT_EQ(ReceivedMessages()[0].lParam, 4);
    SetLastError(0);
    EXPECT_EQ(SendMessageW(reinterpret_cast<HWND>(0x4), WM_APP_SETSOURCEMARKS, 0, 0), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_WINDOW_HANDLE));
}

TEST_F(SettingsDialog, TheLogBoxRefusesTypingButCanBeCopied)
{
    SetWindowTextW(m_log, L"0:3(1): error: syntax error\r\n");
    ShowAndFind();
    ClickControl(m_log);
    Type("zz");
    Keys({"Return", "BackSpace", "Delete"});
    // Key events are handled in order: once the source box has the next keystroke, the log
    // box has had all of its own.
    ClickControl(m_source);
    PumpMessages();
    ClearReceived();
    Type("q");
    ExpectTextAfterChanges(m_source, L"q", 1);
    EXPECT_EQ(WindowText(m_log), L"0:3(1): error: syntax error\r\n");

    ClickControl(m_log);
    Keys({"ctrl+a", "ctrl+c"});
    std::string copied;
    EXPECT_TRUE(PumpUntil([&] {
        copied.clear();
        DialogDriver::Run({"xclip", "-o", "-selection", "clipboard"}, &copied);
        return copied.find("error") != std::string::npos;
    }));
    EXPECT_EQ(copied, "0:3(1): error: syntax error\n");
}

}  // namespace
