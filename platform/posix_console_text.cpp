// Console text on POSIX: UTF-8 on standard output and standard error.
#include <cstdio>
#include <unistd.h>

#include "ConsoleText.h"
#include "linux/PosixInternal.h"

namespace Platform {
namespace {

void Print(std::FILE* stream, const std::wstring& text)
{
    const std::string bytes = WideToUtf8Text(text);
    std::fwrite(bytes.data(), 1, bytes.size(), stream);
    std::fflush(stream);
}

}  // namespace

void PrintOutput(const std::wstring& text)
{
    Print(stdout, text);
}

void PrintError(const std::wstring& text)
{
    Print(stderr, text);
}

bool ErrorIsTerminal()
{
    return isatty(STDERR_FILENO) == 1;
}

}  // namespace Platform
