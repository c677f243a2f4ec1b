// The executable's Windows resources: compiled resource files (.res) embedded by the build and
// registered before main, and the look-up of one resource by type and name, as FindResource does.
#pragma once

#include <cstddef>
#include <vector>

#include "../winapi/BaseTypes.h"

namespace Platform {

// Resource type of dialog templates (RT_DIALOG).
constexpr WORD ResourceTypeDialog = 5;

// True when `name` is an integer resource id made with MAKEINTRESOURCEW rather than a string.
inline bool IsIntResource(LPCWSTR name)
{
    return (reinterpret_cast<ULONG_PTR>(name) >> 16) == 0;
}

// Registers the bytes of a compiled resource file. The bytes must stay alive for the whole
// run (they are a static array of the program). Returns true so that it can initialise a static.
bool RegisterResourceImage(const unsigned char* bytes, size_t size);

// Finds the data of the resource with the given type and name (an integer resource made with
// MAKEINTRESOURCEW, or a name, compared without regard to case). On failure returns false with
// ERROR_RESOURCE_TYPE_NOT_FOUND, ERROR_RESOURCE_NAME_NOT_FOUND or, for a malformed resource
// file, ERROR_RESOURCE_DATA_NOT_FOUND as the last error.
bool FindResourceData(WORD type, LPCWSTR name, std::vector<BYTE>& data);

}  // namespace Platform
