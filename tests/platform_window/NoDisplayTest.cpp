// Without an X display every call that needs one fails cleanly, and the last error's text names
// the display that could not be opened. Runs without a display of its own on purpose: DISPLAY is
// pointed at servers that do not exist before the layer ever opens its connection.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "platform/Windows.h"

namespace {

std::wstring LastErrorText()
{
    wchar_t* text = nullptr;
    DWORD length = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_ALLOCATE_BUFFER |
                                      FORMAT_MESSAGE_IGNORE_INSERTS,
                                  nullptr, GetLastError(), 0, reinterpret_cast<LPWSTR>(&text), 0,
                                  nullptr);
    std::wstring result(text, length);
    LocalFree(text);
    return result;
}

class NoDisplay : public ::testing::Test {
protected:
    void SetUp() override
    {
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = DefWindowProcW;
        windowClass.lpszClassName = L"No Display Class";
        // Classes belong to the process, not to the display.
        ASSERT_NE(RegisterClassExW(&windowClass), 0);
    }
    void TearDown() override { UnregisterClassW(L"No Display Class", nullptr); }

    HWND Create()
    {
        return CreateWindowExW(0, L"No Display Class", L"Nowhere", WS_CAPTION, CW_USEDEFAULT,
                               CW_USEDEFAULT, 800, 600, nullptr, nullptr, nullptr, nullptr);
    }
};

}  // namespace

TEST_F(NoDisplay, CreationNamesTheDisplayThatIsMissing)
{
    setenv("DISPLAY", ":97531", 1);
    EXPECT_EQ(Create(), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_DEVICE_NOT_AVAILABLE));
    std::wstring text = LastErrorText();
    EXPECT_NE(text.find(L"The device is not ready for use."), std::wstring::npos);
    EXPECT_NE(text.find(L"\":97531\""), std::wstring::npos) << text;
    EXPECT_NE(text.find(L"DISPLAY"), std::wstring::npos) << text;
    EXPECT_EQ(text.substr(text.size() - 2), L"\r\n");
}

TEST_F(NoDisplay, CreationSaysWhenDisplayIsNotSet)
{
    unsetenv("DISPLAY");
    EXPECT_EQ(Create(), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_DEVICE_NOT_AVAILABLE));
    EXPECT_NE(LastErrorText().find(L"DISPLAY environment variable is not set"), std::wstring::npos)
        << LastErrorText();
}

TEST_F(NoDisplay, TheRestFailsWithoutCrashing)
{
    setenv("DISPLAY", "not-a-display-name", 1);
    EXPECT_EQ(Create(), nullptr);
    EXPECT_NE(LastErrorText().find(L"not-a-display-name"), std::wstring::npos);
    MSG msg{};
    EXPECT_FALSE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(GetDC(nullptr), nullptr);
    EXPECT_FALSE(SwapBuffers(nullptr));
    EXPECT_EQ(wglGetCurrentContext(), nullptr);
    EXPECT_TRUE(wglMakeCurrent(nullptr, nullptr)) << "releasing nothing succeeds";
}
