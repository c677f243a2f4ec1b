// user32 dialogs and controls, and comctl32's initialisation: modeless dialogs built from a
// dialog-template resource, their controls and the notifications the controls send.
#pragma once

#include "BaseTypes.h"

typedef INT_PTR(CALLBACK* DLGPROC)(HWND, UINT, WPARAM, LPARAM);

typedef struct tagINITCOMMONCONTROLSEX {
    DWORD dwSize;
    DWORD dwICC;
} INITCOMMONCONTROLSEX;

#define ICC_BAR_CLASSES 0x00000004

// Dialog styles.
#define DS_SETFONT 0x40L
#define DS_MODALFRAME 0x80L
#define DS_FIXEDSYS 0x0008L

// Edit control styles and notifications.
#define ES_MULTILINE 0x0004L
#define ES_AUTOHSCROLL 0x0080L
#define ES_READONLY 0x0800L
#define EN_CHANGE 0x0300

// Button styles and notifications.
#define BS_PUSHBUTTON 0x00000000L
#define BS_DEFPUSHBUTTON 0x00000001L
#define BN_CLICKED 0

// Dialog command identifiers.
#define IDCANCEL 2

// Character sets of dialog fonts.
#define DEFAULT_CHARSET 1

BOOL WINAPI InitCommonControlsEx(const INITCOMMONCONTROLSEX* controls);
HWND WINAPI CreateDialogParamW(HINSTANCE instance, LPCWSTR templateName, HWND parent,
                               DLGPROC dialogProc, LPARAM initParam);
HWND WINAPI GetDlgItem(HWND dialog, int controlId);
