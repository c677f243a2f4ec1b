// Without an X display the dialogs cannot start: InitCommonControlsEx and CreateDialogParamW fail
// with a last error whose text names the display, and nothing crashes.
#include <cstdlib>
#include <string>

#include <gtest/gtest.h>

#include "platform/Windows.h"

namespace {

std::wstring ErrorText(DWORD code)
{
    wchar_t buffer[512];
    DWORD length = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM, nullptr, code, 0, buffer, 512, nullptr);
    return std::wstring(buffer, length);
}

INT_PTR CALLBACK NeverCalled(HWND, UINT, WPARAM, LPARAM)
{
    ADD_FAILURE() << "a dialog procedure ran without a display";
    return 0;
}

}  // namespace

TEST(NoDisplay, StartingTheDialogsFailsWithAClearError)
{
    // A display number that no server answers.
    setenv("DISPLAY", ":9731", 1);
    INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_BAR_CLASSES};
    EXPECT_EQ(InitCommonControlsEx(&controls), FALSE);
    DWORD error = GetLastError();
    EXPECT_EQ(error, static_cast<DWORD>(ERROR_DEVICE_NOT_AVAILABLE));
    EXPECT_NE(ErrorText(error).find(L":9731"), std::wstring::npos) << ErrorText(error).c_str();

    HWND dialog = CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(101), nullptr,
                                     NeverCalled, 0);
    EXPECT_EQ(dialog, nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_DEVICE_NOT_AVAILABLE));

    unsetenv("DISPLAY");
    EXPECT_EQ(InitCommonControlsEx(&controls), FALSE);
    EXPECT_NE(ErrorText(GetLastError()).find(L"DISPLAY"), std::wstring::npos);
}

TEST(NoDisplay, ABadStructureIsRefused)
{
    INITCOMMONCONTROLSEX controls{4, ICC_BAR_CLASSES};
    EXPECT_EQ(InitCommonControlsEx(&controls), FALSE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(InitCommonControlsEx(nullptr), FALSE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}
