// Prints how the settings dialog's template maps to pixels on this display, so end-to-end tests
// can click its buttons: "SCALE <pixels per x unit> <pixels per y unit>", from the client size
// of the dialog as created from its template (368 x 350 dialog units) before anything moves it.
#include <clocale>
#include <cstdio>

#include "platform/Windows.h"
#include "viewer/SettingsDlgIds.h"

namespace {

INT_PTR CALLBACK IgnoreMessages(HWND, UINT, WPARAM, LPARAM)
{
    return 0;
}

}  // namespace

int main()
{
    INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_BAR_CLASSES};
    if (!InitCommonControlsEx(&controls)) {
        std::fprintf(stderr, "no display for the dialog\n");
        return 1;
    }
    HWND dialog = CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_SETTINGS), nullptr,
                                     IgnoreMessages, 0);
    RECT client{};
    if (!dialog || !GetClientRect(dialog, &client)) {
        std::fprintf(stderr, "the dialog could not be created\n");
        return 1;
    }
    // GTK took the locale from the environment when the dialog started; the scripts read a dot.
    std::setlocale(LC_NUMERIC, "C");
    std::printf("SCALE %.6f %.6f\n", client.right / 368.0, client.bottom / 350.0);
    DestroyWindow(dialog);
    return 0;
}
