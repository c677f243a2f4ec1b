// Starting this program again on Linux: /proc/self/exe executed in place with the arguments read
// back from /proc/self/cmdline and this environment with one variable set. The X connections and
// the driver's files are opened close-on-exec, so the old windows and contexts go with the old
// image; the working folder, the process id and the standard handles stay.
#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>
#include <vector>

#include "ProgramRestart.h"
#include "linux/PosixInternal.h"

extern char** environ;

namespace Platform {
namespace {

// The NUL-separated items of a /proc file.
std::vector<std::string> ProcItems(const char* path)
{
    std::ifstream file(path, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    std::vector<std::string> items;
    std::string::size_type start = 0;
    while (start < bytes.size()) {
        std::string::size_type end = bytes.find('\0', start);
        if (end == std::string::npos) {
            end = bytes.size();
        }
        items.push_back(bytes.substr(start, end - start));
        start = end + 1;
    }
    return items;
}

std::vector<char*> Pointers(std::vector<std::string>& items)
{
    std::vector<char*> pointers;
    for (std::string& item : items) {
        pointers.push_back(&item[0]);
    }
    pointers.push_back(nullptr);
    return pointers;
}

}  // namespace

void RestartThisProgram(const std::wstring& name, const std::wstring& value)
{
    std::vector<std::string> arguments = ProcItems("/proc/self/cmdline");
    if (arguments.empty()) {
        SetLastErrorFromErrno(errno ? errno : ENOENT, L"Reading this program's arguments from /proc/self/cmdline");
        return;
    }
    const std::string narrowName = WideToUtf8Text(name);
    const std::string prefix = narrowName + "=";
    std::vector<std::string> environment;
    for (char** entry = environ; entry && *entry; ++entry) {
        if (std::strncmp(*entry, prefix.c_str(), prefix.size()) != 0) {
            environment.push_back(*entry);
        }
    }
    environment.push_back(prefix + WideToUtf8Text(value));
    std::vector<char*> argv = Pointers(arguments);
    std::vector<char*> envp = Pointers(environment);
    execve("/proc/self/exe", argv.data(), envp.data());
    SetLastErrorFromErrno(errno, L"Starting this program again from /proc/self/exe");
}

void EndThisProgramNow(int status)
{
    _exit(status);
}

}  // namespace Platform
