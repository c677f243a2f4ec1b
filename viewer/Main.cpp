// The program entry: reads the command line, builds the caption and the scene, runs the
// application with the viewer's types, and reports a failure that ends the program before
// exiting with status 1 (status 2 for a wrong use of the command line).
#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include "common/Exception.h"
#include "common/TextConversion.h"
#include "framework/Application.h"
#include "framework/Command.h"
#include "framework/EventCommandTranslator.h"
#include "platform/ChildProgram.h"
#include "platform/ConsoleText.h"
#include "viewer/CommandLine.h"
#include "viewer/CustomScene.h"
#include "viewer/FailureText.h"
#include "viewer/FileRenderer.h"
#include "viewer/Logic.h"
#include "viewer/Render.h"
#include "viewer/SettingsDlg.h"

namespace {

typedef RealTimeApp::Application<Morvane::Render, Morvane::Logic, Morvane::Command,
                                 Morvane::EventCommandTranslator, Morvane::SettingsDlg>
    ViewerApplication;

int RunViewer(const Morvane::ScenePaths& paths)
{
    const std::wstring caption = L"Morvane - by the Morvane team";
    Morvane::CustomScene scene(paths);
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

// Renders to files with no window; a failure is told on standard error, with status 1. A film
// without the ffmpeg program is a wrong use (status 2) found before anything is drawn.
int RenderToFiles(const Morvane::ScenePaths& paths, const Morvane::RenderOptions& options)
{
    std::wstring ffmpeg;
    if (options.kind == Morvane::OutputKind::Film) {
        ffmpeg = Platform::FindProgram(L"ffmpeg");
        if (ffmpeg.empty()) {
            Platform::PrintError(L"A film needs the ffmpeg program, and there is none on the PATH: install it "
                                 L"(Debian's package ffmpeg; on Windows put ffmpeg.exe on the PATH), or render a "
                                 L"sequence of PNG files instead.\n");
            return 2;
        }
    }
    try {
        Morvane::RenderToFiles(paths, options, ffmpeg);
        return 0;
    } catch (const Common::Exception& e) {
        Platform::PrintError(Morvane::FatalFailureText(e) + L"\n");
    } catch (const std::exception& e) {
        Platform::PrintError(L"Morvane stopped: " +
                             std::wstring(e.what(), e.what() + std::char_traits<char>::length(e.what())) + L"\n");
    }
    return 1;
}

// Runs what the command line asks for, or says what is wrong with it (status 2).
int Main(const std::vector<std::wstring>& arguments)
{
    Morvane::CommandLine line;
    Morvane::ScenePaths paths = Morvane::CurrentFolderScene();
    try {
        line = Morvane::ParseCommandLine(arguments);
        if (!line.scene.empty() && line.action != Morvane::Action::Help && line.action != Morvane::Action::Version) {
            paths = Morvane::ResolveScene(line.scene);
        }
    } catch (const Morvane::UsageError& e) {
        Platform::PrintError(e.Sentence() + L"\n\n" + Morvane::UsageText());
        return 2;
    }
    if (line.action == Morvane::Action::Help) {
        Platform::PrintOutput(Morvane::UsageText());
        return 0;
    }
    if (line.action == Morvane::Action::Version) {
        Platform::PrintOutput(L"Morvane " MORVANE_VERSION L"\n");
        return 0;
    }
    if (line.action == Morvane::Action::Render) {
        return RenderToFiles(paths, line.render);
    }
    try {
        return RunViewer(paths);
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
    return Main(std::vector<std::wstring>(__wargv + 1, __wargv + __argc));
}
#else
int main(int argc, char** argv)
{
    std::vector<std::wstring> arguments;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        arguments.push_back(argument.empty() ? std::wstring() : Common::Utf8ToWide(argument));
    }
    return Main(arguments);
}
#endif
