// The settings dialog: creation from its template, placement, the dialog procedure that turns
// edits and button clicks into commands, and the marks it asks the source box to show.
#include "SettingsDlg.h"

#include <algorithm>
#include <memory>

#include "common/Exception.h"
#include "viewer/EditText.h"
#include "viewer/LogNotice.h"
#include "viewer/SettingsDlgIds.h"

namespace Morvane {

SettingsDlg::SettingsDlg(CommandQueue& commands, RealTimeApp::Scene& scene, HWND mainWindow)
    : m_commands(&commands)
    , m_hwnd(nullptr)
    , m_scene(&dynamic_cast<CustomScene&>(scene))
    , m_sourceEdit(nullptr)
    , m_logEdit(nullptr)
{
    LoadCommonControls();
    Create();
    PlaceBeside(mainWindow);
    RestorePlaces(mainWindow);
    ShowWindow(m_hwnd, SW_SHOW);
}

SettingsDlg::~SettingsDlg()
{
    DestroyWindow(m_hwnd);
}

void SettingsDlg::LoadCommonControls()
{
    INITCOMMONCONTROLSEX controls;
    controls.dwSize = sizeof(INITCOMMONCONTROLSEX);
    controls.dwICC = ICC_BAR_CLASSES;
    // Each failure says what failed, and carries the call's own cause or none: a call that sets no
    // last error must not show one left by an earlier call.
    SetLastError(0);
    if (InitCommonControlsEx(&controls) != TRUE) {
        throw Common::Exception(L"The Settings dialog could not start: its controls could not be initialised.");
    }
}

void SettingsDlg::Create()
{
    SetLastError(0);
    m_hwnd = CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_SETTINGS), m_hwnd, DialogProc,
                                reinterpret_cast<LPARAM>(this));
    if (!m_hwnd) {
        throw Common::Exception(L"The Settings dialog could not be created.");
    }
    SetLastError(0);
    if (SetWindowLongPtrW(m_hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this)) == 0 && GetLastError() != 0) {
        throw Common::Exception(L"The Settings dialog could not be tied to the viewer (its window's user data).");
    }
}

RECT PlacementBeside(const RECT& mainWindow, const RECT& dialog, const RECT& dialogClient,
                     const RECT& workArea)
{
    const LONG frame = dialog.right - dialogClient.right;
    const LONG width = dialog.right - dialog.left;
    const LONG height = (mainWindow.bottom - mainWindow.top) - frame;
    LONG left = mainWindow.right + frame;
    LONG top = mainWindow.top + frame;
    // Back inside the work area: first off its right and bottom edges, then off its left and top
    // edges, so that a dialog larger than the work area starts at the work area's corner.
    left = std::max(std::min(left, workArea.right - width), workArea.left);
    top = std::max(std::min(top, workArea.bottom - height), workArea.top);
    return RECT{left, top, left + width, top + height};
}

void SettingsDlg::PlaceBeside(HWND mainWindow)
{
    RECT mainRect{}, dialogRect{}, clientRect{};
    GetWindowRect(mainWindow, &mainRect);
    GetWindowRect(m_hwnd, &dialogRect);
    GetClientRect(m_hwnd, &clientRect);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(MONITORINFO);
    // Neither call is documented to set a last error on every failure: none is shown rather than
    // an earlier one.
    SetLastError(0);
    HMONITOR handle = MonitorFromWindow(mainWindow, MONITOR_DEFAULTTONEAREST);
    if (!handle || !GetMonitorInfoW(handle, &monitor)) {
        throw Common::Exception(L"The work area of the main window's monitor could not be found.");
    }
    const RECT placed = PlacementBeside(mainRect, dialogRect, clientRect, monitor.rcWork);
    MoveWindow(m_hwnd, placed.left, placed.top, placed.right - placed.left, placed.bottom - placed.top, TRUE);
}

void SettingsDlg::RestorePlaces(HWND mainWindow)
{
    const RestartState* restart = m_scene->Runaway().Restarted();
    if (!restart || !restart->placesKnown) {
        return;
    }
    const RECT& main = restart->places.mainWindow;
    const RECT& dialog = restart->places.settings;
    MoveWindow(mainWindow, main.left, main.top, main.right - main.left, main.bottom - main.top, TRUE);
    MoveWindow(m_hwnd, dialog.left, dialog.top, dialog.right - dialog.left, dialog.bottom - dialog.top, TRUE);
}

INT_PTR CALLBACK SettingsDlg::DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* dialog = reinterpret_cast<SettingsDlg*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!dialog) {
        if (message != WM_INITDIALOG) {
            return DefWindowProcW(hwnd, message, wParam, lParam);
        }
        dialog = reinterpret_cast<SettingsDlg*>(lParam);
    }
    return dialog->HandleMessage(hwnd, message, wParam);
}

INT_PTR SettingsDlg::HandleMessage(HWND hwnd, UINT message, WPARAM wParam)
{
    switch (message) {
    case WM_DESTROY:
        PostQuitMessage(0);
        break;
    case WM_INITDIALOG:
        OnInitDialog(hwnd);
        break;
    case WM_COMMAND: {
        const WORD id = LOWORD(wParam);
        const WORD code = HIWORD(wParam);
        if (id == IDC_SOURCE_EDIT && code == EN_CHANGE) {
            OnSourceChanged();
        } else if (id == IDC_RELOAD && code == BN_CLICKED) {
            m_commands->push_back(Command(ReloadShader));
        } else if (id == IDC_SAVE && code == BN_CLICKED) {
            m_commands->push_back(Command(SaveShader));
        } else if (id == IDC_RESET_CAMERA && code == BN_CLICKED) {
            m_commands->push_back(Command(ResetCamera));
        }
        break;
    }
    default:
        break;
    }
    return 0;
}

void SettingsDlg::OnInitDialog(HWND hwnd)
{
    m_sourceEdit = GetDlgItem(hwnd, IDC_SOURCE_EDIT);
    SetWindowTextW(m_sourceEdit, ToEditText(m_scene->m_pixelShaderText).c_str());
    m_logEdit = GetDlgItem(hwnd, IDC_LOG_EDIT);
    // The log box starts empty unless the loaded text needs a word (it was not valid UTF-8, or
    // an earlier run left unsaved edits beside it).
    const std::wstring notices = m_scene->LogNotices();
    if (!notices.empty()) {
        WriteLog(notices);
    }
}

void SettingsDlg::OnSourceChanged()
{
    const int length = GetWindowTextLengthW(m_sourceEdit) + 1;
    std::unique_ptr<wchar_t[]> buffer(new wchar_t[static_cast<size_t>(length)]);
    buffer[0] = L'\0';
    GetWindowTextW(m_sourceEdit, buffer.get(), length);
    m_commands->push_back(Command(ShaderTextChanged, FromEditText(std::wstring(buffer.get()))));
}

void SettingsDlg::SetLog(const std::wstring& text)
{
    m_result = text;
    WriteLog(text);
}

void SettingsDlg::ShowResult(const std::wstring& result)
{
    m_result = result;
    WriteLog(BelowNotice(m_scene->LogNotices(), result));
}

void SettingsDlg::RefreshNotices()
{
    WriteLog(BelowNotice(m_scene->LogNotices(), m_result));
}

void SettingsDlg::WriteLog(const std::wstring& text)
{
    std::wstring copy = text;
    ToCrLf(copy);
    SetWindowTextW(m_logEdit, copy.c_str());
}

void SettingsDlg::MarkSourceLines(const std::vector<Platform::SourceMark>& marks)
{
    SendMessageW(m_sourceEdit, WM_APP_SETSOURCEMARKS, marks.size(),
                 reinterpret_cast<LPARAM>(marks.empty() ? nullptr : marks.data()));
}

}  // namespace Morvane
