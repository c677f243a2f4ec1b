// GetModuleHandleW: the executable is the only module the system asks for; and the process's id.
#include <unistd.h>

#include "Windows.h"

namespace {
HINSTANCE__ g_executable{};
}

HMODULE WINAPI GetModuleHandleW(LPCWSTR moduleName)
{
    if (moduleName != nullptr) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    return &g_executable;
}

DWORD WINAPI GetCurrentProcessId(void)
{
    return static_cast<DWORD>(getpid());
}
