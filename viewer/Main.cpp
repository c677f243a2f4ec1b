// The program entry: builds the caption and the scene, runs the application with the viewer's
// types, and reports a failure that ends the program before exiting with status 1.
#include <exception>
#include <iostream>
#include <string>

#include "common/Exception.h"
#include "common/TextConversion.h"
#include "framework/Application.h"
#include "framework/Command.h"
#include "framework/EventCommandTranslator.h"
#include "viewer/CustomScene.h"
#include "viewer/FailureText.h"
#include "viewer/Logic.h"
#include "viewer/Render.h"
#include "viewer/SettingsDlg.h"

namespace {

typedef RealTimeApp::Application<Morvane::Render, Morvane::Logic, Morvane::Command,
                                 Morvane::EventCommandTranslator, Morvane::SettingsDlg>
    ViewerApplication;

int RunViewer()
{
    const std::wstring caption = L"Morvane - by the Morvane team";
    Morvane::CustomScene scene;
    ViewerApplication application(800, 600, caption, scene);
    application.Run();
    return 0;
}

#ifdef _WIN32
void ReportFatal(const std::wstring& text)
{
    // Destroying the settings dialog on the way out posted a quit message, which would end the
    // message box's own loop at once: take it off the queue first.
    MSG pending;
    while (PeekMessageW(&pending, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
    MessageBoxW(nullptr, text.c_str(), L"Morvane", MB_OK | MB_ICONERROR);
}
#else
void ReportFatal(const std::wstring& text)
{
    std::string narrow;
    try {
        narrow = Common::WideToUtf8(text);
    } catch (const Common::Exception&) {
        narrow = "Morvane stopped because of an error that cannot be shown.";
    }
    std::cerr << narrow << std::endl;
}
#endif

int Main()
{
    try {
        return RunViewer();
    } catch (const Common::Exception& e) {
        ReportFatal(Morvane::FatalFailureText(e));
    } catch (const std::exception& e) {
        ReportFatal(L"Morvane stopped: " + std::wstring(e.what(), e.what() + std::char_traits<char>::length(e.what())));
    }
    return 1;
}

}  // namespace

#ifdef _WIN32
int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    return Main();
}
#else
int main()
{
    return Main();
}
#endif
