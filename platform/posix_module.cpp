// GetModuleHandleW: the executable is the only module the system asks for.
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
