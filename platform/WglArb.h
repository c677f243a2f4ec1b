// The WGL ARB extensions that the driver looks up and the layer hands out through
// wglGetProcAddress (WGL_ARB_extensions_string, WGL_ARB_pixel_format, WGL_ARB_multisample): their
// constants and function types, with the values and names of Khronos' wglext.h. Windows' own
// headers lack them, so this one header serves both platforms; a wglext.h included first wins.
#pragma once

#include "Windows.h"

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
#define WGL_NO_ACCELERATION_ARB 0x2025
#define WGL_GENERIC_ACCELERATION_ARB 0x2026
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
