// Running another program on Windows: found with SearchPathW, started with CreateProcessW and a
// command line quoted as the C runtime reads it, its standard input an anonymous pipe we write
// into, its output and errors going to ours.
#include <string>

#include "platform/ChildProgram.h"
#include "platform/Windows.h"

namespace Platform {
namespace {

// One argument quoted so that the C runtime's parser gives it back unchanged.
std::wstring Quoted(const std::wstring& argument)
{
    if (!argument.empty() && argument.find_first_of(L" \t\n\v\"") == std::wstring::npos) {
        return argument;
    }
    std::wstring quoted = L"\"";
    size_t backslashes = 0;
    for (wchar_t c : argument) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        quoted.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
        backslashes = 0;
        quoted += c;
    }
    quoted.append(backslashes * 2, L'\\');
    return quoted + L"\"";
}

class PipedProgram : public ProgramInput {
public:
    PipedProgram(HANDLE process, HANDLE input) : m_process(process), m_input(input) {}
    ~PipedProgram() override { Finish(); }

    bool Write(const void* bytes, std::size_t size) override
    {
        const char* at = static_cast<const char*>(bytes);
        while (size > 0 && m_input) {
            DWORD written = 0;
            const DWORD chunk = size > (1u << 20) ? (1u << 20) : static_cast<DWORD>(size);
            if (!WriteFile(m_input, at, chunk, &written, nullptr)) {
                return false;
            }
            at += written;
            size -= written;
        }
        return m_input != nullptr;
    }

    int Finish() override
    {
        if (m_input) {
            CloseHandle(m_input);
            m_input = nullptr;
        }
        if (m_process) {
            WaitForSingleObject(m_process, INFINITE);
            DWORD code = 0;
            m_status = GetExitCodeProcess(m_process, &code) ? static_cast<int>(code) : -1;
            CloseHandle(m_process);
            m_process = nullptr;
        }
        return m_status;
    }

private:
    HANDLE m_process;
    HANDLE m_input;
    int m_status = -1;
};

}  // namespace

std::wstring FindProgram(const std::wstring& name)
{
    wchar_t found[MAX_PATH];
    const DWORD length = SearchPathW(nullptr, name.c_str(), L".exe", MAX_PATH, found, nullptr);
    return length > 0 && length < MAX_PATH ? std::wstring(found, length) : std::wstring();
}

std::unique_ptr<ProgramInput> StartProgramWithInput(const std::wstring& path, const std::vector<std::wstring>& arguments,
                                                    std::wstring& reason)
{
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &inherit, 1u << 20) || !SetHandleInformation(writeEnd, HANDLE_FLAG_INHERIT, 0)) {
        reason = L"No pipe could be made for " + path + L" (error " + std::to_wstring(GetLastError()) + L").";
        return nullptr;
    }
    std::wstring commandLine = Quoted(path);
    for (const std::wstring& argument : arguments) {
        commandLine += L" " + Quoted(argument);
    }
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = readEnd;
    startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION process = {};
    const BOOL started = CreateProcessW(path.c_str(), &commandLine[0], nullptr, nullptr, TRUE, CREATE_NO_WINDOW,
                                        nullptr, nullptr, &startup, &process);
    const DWORD error = GetLastError();
    CloseHandle(readEnd);
    if (!started) {
        CloseHandle(writeEnd);
        reason = path + L" could not be started (error " + std::to_wstring(error) + L").";
        return nullptr;
    }
    CloseHandle(process.hThread);
    return std::unique_ptr<ProgramInput>(new PipedProgram(process.hProcess, writeEnd));
}

}  // namespace Platform
