// The modeless "Settings" dialog beside the render window: the pixel-shader source box whose every
// edit is queued as a command and whose lines it marks, the log box, and the Reload, Save and
// Reset Camera buttons.
#pragma once

#include <string>
#include <vector>

#include "framework/Command.h"
#include "framework/Scene.h"
#include "platform/SourceMarks.h"
#include "platform/Windows.h"
#include "viewer/CustomScene.h"

namespace Morvane {

class SettingsDlg {
public:
    SettingsDlg(CommandQueue& commands, RealTimeApp::Scene& scene, HWND mainWindow);
    ~SettingsDlg();
    SettingsDlg(const SettingsDlg&) = delete;
    SettingsDlg& operator=(const SettingsDlg&) = delete;

    static void LoadCommonControls();
    void Create();
    // Stands the dialog just right of the main window, a frame's width below its top and level
    // with its bottom, keeping the dialog's own width; moved back inside the work area of the
    // main window's monitor where it would stand partly outside it.
    void PlaceBeside(HWND mainWindow);
    // After a restart, puts the main window and the dialog back where they stood before it.
    void RestorePlaces(HWND mainWindow);

    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR HandleMessage(HWND hwnd, UINT message, WPARAM wParam);

    // Replaces the log box's text.
    void SetLog(const std::wstring& text);
    // Shows `result` (a compile result) in the log box below the scene's notices, and keeps it.
    void ShowResult(const std::wstring& result);
    // Shows the scene's notices of the moment above the result last shown (or the text last set).
    void RefreshNotices();
    // Replaces the marks on lines of the source box (none clears them). A box that cannot show
    // marks, such as a Windows edit control, ignores them: the log says everything they say.
    void MarkSourceLines(const std::vector<Platform::SourceMark>& marks);

    CommandQueue* m_commands;
    HWND m_hwnd;
    CustomScene* m_scene;
    HWND m_sourceEdit;
    HWND m_logEdit;

private:
    void OnInitDialog(HWND hwnd);
    void OnSourceChanged();
    void WriteLog(const std::wstring& text);

    // What the log box shows below the notices: the latest compile result or failure.
    std::wstring m_result;
};

// Where the dialog goes beside a main window: given the main window's outer rectangle, the
// dialog's outer and client rectangles while it stands at the screen origin, and the work area
// of the main window's monitor. Beside the main window where it fits there; otherwise moved just
// enough to lie inside the work area (over the main window if need be), and with its top-left
// corner at the work area's where it is larger than the work area.
RECT PlacementBeside(const RECT& mainWindow, const RECT& dialog, const RECT& dialogClient,
                     const RECT& workArea);

}  // namespace Morvane
