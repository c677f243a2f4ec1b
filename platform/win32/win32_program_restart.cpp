// Starting this program again on Windows: a new process of this program's file with this command
// line, working folder and environment (one variable set), then this process is terminated at
// once, without the DLL detach work that a stuck driver could hold up.
#include <string>
#include <vector>

#include "platform/ProgramRestart.h"
#include "platform/Windows.h"

namespace Platform {

void RestartThisProgram(const std::wstring& name, const std::wstring& value)
{
    if (!SetEnvironmentVariableW(name.c_str(), value.c_str())) {
        return;
    }
    std::vector<wchar_t> path(32768);
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0 || length >= path.size()) {
        return;
    }
    std::wstring line = GetCommandLineW();
    std::vector<wchar_t> commandLine(line.begin(), line.end());
    commandLine.push_back(L'\0');
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(path.data(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
        return;
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    EndThisProgramNow(0);
}

void EndThisProgramNow(int status)
{
    TerminateProcess(GetCurrentProcess(), static_cast<UINT>(status));
    ExitProcess(static_cast<UINT>(status));
}

}  // namespace Platform
