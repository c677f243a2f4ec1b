// Finds the WGL extension string and searches it for whole words.
#include <GL/glew.h>

#include "opengl/WglExtensions.h"

#include <cstring>

namespace OpenglDriver {

bool ContainsExtension(const char* list, const char* name)
{
    if (list == nullptr || name == nullptr || name[0] == '\0') {
        return false;
    }
    const std::size_t length = std::strlen(name);
    const char* start = list;
    for (const char* hit = std::strstr(start, name); hit != nullptr;
         hit = std::strstr(hit + 1, name)) {
        bool wordStart = hit == list || hit[-1] == ' ';
        bool wordEnd = hit[length] == '\0' || hit[length] == ' ';
        if (wordStart && wordEnd) {
            return true;
        }
    }
    return false;
}

bool IsWglExtensionSupported(const char* extension)
{
    const char* list = nullptr;
    PFNWGLGETEXTENSIONSSTRINGARBPROC getExtensionsString =
        WglFunction<PFNWGLGETEXTENSIONSSTRINGARBPROC>("wglGetExtensionsStringARB");
    if (getExtensionsString != nullptr) {
        list = getExtensionsString(wglGetCurrentDC());
    }
    if (list == nullptr) {
        list = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
    }
    return ContainsExtension(list, extension);
}

}  // namespace OpenglDriver
