// CreateDialogParamW and GetDlgItem: a modeless dialog made from its template resource, with its
// controls in template order, initialised with WM_INITDIALOG before the call returns.
#include <gtk/gtk.h>

#include "Windows.h"
#include "linux/GtkInternal.h"
#include "linux/PosixInternal.h"
#include "linux/ResourcesInternal.h"

namespace {

// The dialog's controls from its template, each with its own handle, in template order.
// Returns the first visible control with WS_TABSTOP (the one WM_INITDIALOG proposes for the
// focus), or fails with the control's error.
bool CreateControls(Platform::GtkDialogWindow& dialog, HWND dialogHandle,
                    const Platform::DialogTemplate& dialogTemplate, HWND& firstTabStop)
{
    const Platform::BaseUnits& units = dialog.Units();
    firstTabStop = nullptr;
    for (const Platform::DialogItemTemplate& item : dialogTemplate.items) {
        RECT place{Platform::DialogXToPixels(item.x, units), Platform::DialogYToPixels(item.y, units),
                   Platform::DialogXToPixels(item.x + item.cx, units),
                   Platform::DialogYToPixels(item.y + item.cy, units)};
        std::unique_ptr<Platform::GtkControl> control = Platform::CreateGtkControl(dialog, item, place);
        if (!control) {
            return false;
        }
        Platform::GtkControl* created = control.get();
        created->parent = dialogHandle;
        created->controlId = static_cast<int>(item.id);
        HWND handle = Platform::AddWindow(std::move(control));
        created->Attach(handle, dialogHandle);
        if (item.style & WS_VISIBLE) {
            created->Show(SW_SHOW);
            if ((item.style & WS_TABSTOP) && !firstTabStop) {
                firstTabStop = handle;
            }
        }
    }
    return true;
}

}  // namespace

HWND WINAPI CreateDialogParamW(HINSTANCE, LPCWSTR templateName, HWND parent, DLGPROC dialogProc,
                               LPARAM initParam)
{
    if (parent && !Platform::FindWindowObject(parent)) {
        return nullptr;
    }
    std::vector<BYTE> data;
    Platform::DialogTemplate dialogTemplate;
    if (!Platform::FindResourceData(Platform::ResourceTypeDialog, templateName, data) ||
        !Platform::ParseDialogTemplate(data, dialogTemplate)) {
        return nullptr;
    }
    if (!Platform::StartGtk()) {
        return nullptr;
    }

    auto window = std::make_unique<Platform::GtkDialogWindow>(dialogProc);
    Platform::GtkDialogWindow* dialog = window.get();
    // Dialogs are never children of the layer's X11 windows; an owner is remembered only.
    dialog->parent = nullptr;
    HWND handle = Platform::AddWindow(std::move(window));
    dialog->Build(dialogTemplate, handle);

    HWND firstTabStop = nullptr;
    if (!CreateControls(*dialog, handle, dialogTemplate, firstTabStop)) {
        DWORD error = GetLastError();
        std::wstring note = Platform::LastErrorNote();
        DestroyWindow(handle);
        Platform::SetLastErrorWithNote(error, note);
        return nullptr;
    }
    try {
        // The result would ask for the focus to go to that control; GTK gives the focus to the
        // first focusable control when the window is shown.
        dialog->Deliver(handle, WM_INITDIALOG, reinterpret_cast<WPARAM>(firstTabStop), initParam);
    } catch (...) {
        // The dialog procedure's exception leaves the call, and the half-made dialog goes.
        DestroyWindow(handle);
        throw;
    }
    if (dialogTemplate.style & WS_VISIBLE) {
        ShowWindow(handle, SW_SHOW);
    }
    return handle;
}

HWND WINAPI GetDlgItem(HWND dialog, int controlId)
{
    if (!Platform::FindWindowObject(dialog)) {
        return nullptr;
    }
    for (HWND child : Platform::ChildWindows(dialog)) {
        Platform::WindowObject* control = Platform::FindWindowObject(child);
        if (control && control->controlId == controlId) {
            return child;
        }
    }
    Platform::SetLastErrorWithNote(ERROR_INVALID_PARAMETER,
                                   L"(the dialog has no control " + std::to_wstring(controlId) + L")");
    return nullptr;
}
