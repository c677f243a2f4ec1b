// The settings dialog's procedure as a whole, on the real dialog: the source box filled with CR LF
// as it opens, edits and clicks turned into commands, the close box ignored, and the quit message
// of its destruction.
#include "ViewerFixture.h"

using namespace ViewerTest;

namespace {

LRESULT Send(HWND dialog, UINT message, WPARAM wParam)
{
    return Morvane::SettingsDlg::DialogProc(dialog, message, wParam, 0);
}

std::vector<int32_t> Types(const Morvane::CommandQueue& commands)
{
    std::vector<int32_t> types;
    for (const Morvane::Command& command : commands) types.push_back(command.type);
    return types;
}

class SettingsDlgTest : public ::testing::Test {
protected:
    SettingsDlgTest() : m_viewer(FlatPixelShader("0.2, 0.6, 0.3")) {}

    Viewer m_viewer;
};

}  // namespace

TEST_F(SettingsDlgTest, OpensWithTheSceneTextInCrLfAndQueuesNothing)
{
    const std::string text = FlatPixelShader("0.2, 0.6, 0.3");
    std::wstring crLf;
    for (char c : text) crLf += c == '\n' ? std::wstring(L"\r\n") : std::wstring(1, static_cast<wchar_t>(c));
    EXPECT_EQ(m_viewer.Source(), crLf);
    EXPECT_EQ(m_viewer.Log(), L"");
    EXPECT_TRUE(m_viewer.m_commands.empty());
}

TEST_F(SettingsDlgTest, EditsAndClicksBecomeCommandsInOrder)
{
    HWND dialog = m_viewer.m_dialog->m_hwnd;
    // A lone carriage return (typed or pasted) is dropped with the others.
    SetWindowTextW(m_viewer.m_dialog->m_sourceEdit, L"a\rb\r\nc");
    EXPECT_EQ(0, Send(dialog, WM_COMMAND, MAKEWPARAM(1001, EN_CHANGE)));
    Send(dialog, WM_COMMAND, MAKEWPARAM(1003, BN_CLICKED));
    Send(dialog, WM_COMMAND, MAKEWPARAM(1003, BN_CLICKED));
    Send(dialog, WM_COMMAND, MAKEWPARAM(1002, BN_CLICKED));
    Send(dialog, WM_COMMAND, MAKEWPARAM(1005, BN_CLICKED));
    // Neither other notices of the controls nor the close box's IDCANCEL do anything.
    Send(dialog, WM_COMMAND, MAKEWPARAM(1001, 0x0100));
    Send(dialog, WM_COMMAND, MAKEWPARAM(1004, EN_CHANGE));
    Send(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, 0));

    const Morvane::CommandQueue& commands = m_viewer.m_commands;
    EXPECT_EQ((std::vector<int32_t>{Morvane::ShaderTextChanged, Morvane::SaveShader,
                                                 Morvane::SaveShader, Morvane::ReloadShader,
                                                 Morvane::ResetCamera}),
              Types(commands))
        << "two clicks on Save are two commands";
    ASSERT_FALSE(commands.empty());
    EXPECT_EQ(commands[0].text, "ab\nc");
    for (std::size_t i = 1; i < commands.size(); ++i) EXPECT_EQ(commands[i].text, "");
    EXPECT_TRUE(IsWindow(dialog)) << "the close box closes nothing";
}

TEST_F(SettingsDlgTest, DestroyingTheDialogPostsAQuitMessage)
{
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }
    m_viewer.m_logic.reset();
    m_viewer.m_render.reset();
    m_viewer.m_dialog.reset();
    bool quit = false;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) quit = quit || msg.message == WM_QUIT;
    EXPECT_TRUE(quit);
}
