// The glx family's internal header: the pixel formats behind the WGL-style pixel-format calls.
#pragma once

#include <GL/glew.h>
#include <GL/glx.h>

#include <vector>

#include "../winapi/GdiWglApi.h"

namespace Platform {

// The pixel formats of the screen: its window-capable GLX FBConfigs, numbered from 1, with what
// SetPixelFormat, DescribePixelFormat and the contexts need to know of each.

struct PixelFormat {
    GLXFBConfig config = nullptr;
    Visual* visual = nullptr;
    int visualDepth = 0;
    int visualClass = 0;
    unsigned long redMask = 0, greenMask = 0, blueMask = 0;
    int red = 0, green = 0, blue = 0, alpha = 0;
    int depth = 0, stencil = 0;
    int accumRed = 0, accumGreen = 0, accumBlue = 0, accumAlpha = 0;
    int auxBuffers = 0;
    bool doubleBuffer = false;
    bool slow = false;
    int sampleBuffers = 0, samples = 0;

    int ColorBits() const { return red + green + blue; }
    // Only 24-bit TrueColor visuals are offered to the choosing functions.
    bool HasPlainVisual() const { return visualClass == TrueColor && visualDepth == 24; }
};

// The formats; empty with the last error set when there is no display or no GLX on it.
const std::vector<PixelFormat>& PixelFormats();

// Format `index` (1-based), or null with ERROR_INVALID_PIXEL_FORMAT as the last error.
const PixelFormat* FindPixelFormat(int index);

// The WGL extension functions that wglGetProcAddress hands out.
BOOL WINAPI ChoosePixelFormatArb(HDC dc, const int* intAttributes, const FLOAT* floatAttributes,
                                 UINT maxFormats, int* formats, UINT* numFormats);
const char* WINAPI GetExtensionsStringArb(HDC dc);

}  // namespace Platform
