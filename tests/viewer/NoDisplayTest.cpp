// Without an X display the Settings dialog cannot start: the failure that ends the viewer says
// what failed, with the display's own cause and never one left by an earlier call.
#include <cstdlib>

#include "ViewerFixture.h"
#include "common/Exception.h"
#include "viewer/FailureText.h"

using namespace ViewerTest;

TEST(NoDisplay, TheSettingsDialogThatCannotStartSaysWhatFailed)
{
    ShaderFolder folder(FlatPixelShader("0.1, 0.2, 0.3"));
    Morvane::CustomScene scene;
    Morvane::CommandQueue commands;
    // A display number that no server answers, and a stale cause from an unrelated call.
    setenv("DISPLAY", ":9731", 1);
    SetLastError(ERROR_FILE_NOT_FOUND);
    try {
        Morvane::SettingsDlg dialog(commands, scene, nullptr);
        FAIL() << "the dialog started without a display";
    } catch (const Common::Exception& e) {
        const std::wstring text = Morvane::FatalFailureText(e);
        EXPECT_NE(e.Message().find(L"Settings dialog"), std::wstring::npos) << std::string(text.begin(), text.end());
        EXPECT_EQ(e.Detail().code, static_cast<DWORD>(ERROR_DEVICE_NOT_AVAILABLE)) << std::string(text.begin(), text.end());
        EXPECT_NE(text.find(L":9731"), std::wstring::npos) << std::string(text.begin(), text.end());
    }
}
