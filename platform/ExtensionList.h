// Whole-word search of an OpenGL, GLX or WGL extension list (names separated by spaces). Header
// only and free of any platform API, so that the driver and the platform layer share it on
// every platform.
#pragma once

#include <cstring>

namespace Platform {

// True when the space-separated `list` holds `name` as a whole word. A null list or an empty
// name holds nothing.
inline bool ContainsExtension(const char* list, const char* name)
{
    if (list == nullptr || name == nullptr || name[0] == '\0') {
        return false;
    }
    const std::size_t length = std::strlen(name);
    for (const char* hit = std::strstr(list, name); hit != nullptr;
         hit = std::strstr(hit + 1, name)) {
        bool wordStart = hit == list || hit[-1] == ' ';
        bool wordEnd = hit[length] == '\0' || hit[length] == ' ';
        if (wordStart && wordEnd) {
            return true;
        }
    }
    return false;
}

}  // namespace Platform
