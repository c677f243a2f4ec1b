// Resource ids of the settings dialog: its template and its controls. Shared by the dialog's
// code and its resource script, so it holds nothing but #defines (and a classic include guard,
// which every resource compiler understands).
#ifndef MORVANE_SETTINGS_DLG_IDS_H
#define MORVANE_SETTINGS_DLG_IDS_H

#define IDD_SETTINGS 101
#define IDC_SOURCE_EDIT 1001
#define IDC_RELOAD 1002
#define IDC_SAVE 1003
#define IDC_LOG_EDIT 1004
#define IDC_RESET_CAMERA 1005

#endif
