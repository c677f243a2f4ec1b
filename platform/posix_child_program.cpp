// Running another program on POSIX: found on the PATH, started with posix_spawn, its standard
// input a pipe we write into. A program that stops reading makes the writes fail (EPIPE), never
// ends us: SIGPIPE is ignored once such a program runs.
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "ChildProgram.h"
#include "linux/PosixInternal.h"

extern char** environ;

namespace Platform {
namespace {

bool IsProgram(const std::string& path)
{
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && access(path.c_str(), X_OK) == 0;
}

std::wstring ErrnoText(int error)
{
    return Utf8ToWideText(std::strerror(error));
}

class PipedProgram : public ProgramInput {
public:
    PipedProgram(pid_t pid, int input) : m_pid(pid), m_input(input) {}
    ~PipedProgram() override { Finish(); }

    bool Write(const void* bytes, std::size_t size) override
    {
        const char* at = static_cast<const char*>(bytes);
        while (size > 0 && m_input >= 0) {
            const ssize_t written = write(m_input, at, size);
            if (written < 0) {
                if (errno == EINTR) continue;
                return false;
            }
            at += written;
            size -= static_cast<std::size_t>(written);
        }
        return m_input >= 0;
    }

    int Finish() override
    {
        if (m_input >= 0) {
            close(m_input);
            m_input = -1;
        }
        if (m_pid > 0) {
            int status = 0;
            while (waitpid(m_pid, &status, 0) < 0 && errno == EINTR) {
            }
            m_status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
            m_pid = -1;
        }
        return m_status;
    }

private:
    pid_t m_pid;
    int m_input;
    int m_status = -1;
};

}  // namespace

std::wstring FindProgram(const std::wstring& name)
{
    const std::string narrow = WideToUtf8Text(name);
    if (narrow.find('/') != std::string::npos) {
        return IsProgram(narrow) ? name : std::wstring();
    }
    const char* path = std::getenv("PATH");
    std::string folders = path ? path : "/usr/local/bin:/usr/bin:/bin";
    size_t start = 0;
    while (start <= folders.size()) {
        size_t end = folders.find(':', start);
        if (end == std::string::npos) end = folders.size();
        const std::string folder = end > start ? folders.substr(start, end - start) : ".";
        if (IsProgram(folder + "/" + narrow)) {
            return Utf8ToWideText(folder + "/" + narrow);
        }
        start = end + 1;
    }
    return std::wstring();
}

std::unique_ptr<ProgramInput> StartProgramWithInput(const std::wstring& path, const std::vector<std::wstring>& arguments,
                                                    std::wstring& reason)
{
    int pipeEnds[2];
    if (pipe2(pipeEnds, O_CLOEXEC) != 0) {
        reason = L"No pipe could be made for " + path + L": " + ErrnoText(errno);
        return nullptr;
    }
    std::signal(SIGPIPE, SIG_IGN);
    std::vector<std::string> narrow;
    narrow.push_back(WideToUtf8Text(path));
    for (const std::wstring& argument : arguments) {
        narrow.push_back(WideToUtf8Text(argument));
    }
    std::vector<char*> argv;
    for (std::string& argument : narrow) {
        argv.push_back(&argument[0]);
    }
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[0], STDIN_FILENO);
    pid_t pid = 0;
    const int error = posix_spawn(&pid, narrow[0].c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(pipeEnds[0]);
    if (error != 0) {
        close(pipeEnds[1]);
        reason = path + L" could not be started: " + ErrnoText(error);
        return nullptr;
    }
    return std::unique_ptr<ProgramInput>(new PipedProgram(pid, pipeEnds[1]));
}

}  // namespace Platform
