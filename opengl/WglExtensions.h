// The WGL extension functions the driver looks up with wglGetProcAddress (pixel-format choice
// and the extension string), their constants, and the test of the extension list.
#pragma once

#include "platform/Windows.h"

#ifndef WGL_ARB_extensions_string
#define WGL_ARB_extensions_string 1
typedef const char*(WINAPI* PFNWGLGETEXTENSIONSSTRINGARBPROC)(HDC hdc);
#endif

#ifndef WGL_ARB_pixel_format
#define WGL_ARB_pixel_format 1
#define WGL_DRAW_TO_WINDOW_ARB 0x2001
#define WGL_ACCELERATION_ARB 0x2003
#define WGL_SUPPORT_OPENGL_ARB 0x2010
#define WGL_DOUBLE_BUFFER_ARB 0x2011
#define WGL_COLOR_BITS_ARB 0x2014
#define WGL_ALPHA_BITS_ARB 0x201B
#define WGL_DEPTH_BITS_ARB 0x2022
#define WGL_STENCIL_BITS_ARB 0x2023
#define WGL_FULL_ACCELERATION_ARB 0x2027
typedef BOOL(WINAPI* PFNWGLCHOOSEPIXELFORMATARBPROC)(HDC hdc, const int* intAttributes,
                                                     const FLOAT* floatAttributes,
                                                     UINT maxFormats, int* formats,
                                                     UINT* formatCount);
#endif

#ifndef WGL_ARB_multisample
#define WGL_ARB_multisample 1
#define WGL_SAMPLE_BUFFERS_ARB 0x2041
#define WGL_SAMPLES_ARB 0x2042
#endif

namespace OpenglDriver {

// Looks up a WGL extension function by name; null when the driver lacks it. (The detour through
// a function type without parameters is the portable way to convert between function types.)
template <class Function>
Function WglFunction(const char* name)
{
    typedef void (*AnyFunction)();
    return reinterpret_cast<Function>(reinterpret_cast<AnyFunction>(wglGetProcAddress(name)));
}

// True when the space-separated `list` holds `name` as a whole word. A null list or an empty
// name holds nothing.
bool ContainsExtension(const char* list, const char* name);

// True when the current context's WGL extension string (or, without one, its GL extension
// string) lists `extension` as a whole word.
bool IsWglExtensionSupported(const char* extension);

}  // namespace OpenglDriver
