// Finds the WGL extension string (or the GL one) and searches it for an extension.
#include <GL/glew.h>

#include "opengl/WglExtensions.h"

namespace OpenglDriver {

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
