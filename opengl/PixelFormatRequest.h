// The choice of a pixel format for the main window: a descriptor for ChoosePixelFormat and, where
// the driver offers it, the multisampled format found by wglChoosePixelFormatARB, both tried on
// a throw-away window.
#pragma once

#include <cstdint>

#include "platform/Windows.h"

namespace OpenglDriver {

struct PixelFormatRequest {
    int32_t depthBits = 24;
    int32_t samples = 4;
    int32_t pixelFormat = 0;
    PIXELFORMATDESCRIPTOR descriptor = {};

    // Fills `descriptor` and returns the format index to use. Lowers `depthBits` to 16 when
    // 24 is not available and sets `samples` to the sample count found (kept as requested when
    // no multisampled format exists). Throws Common::Exception with an empty message when no
    // format or temporary context can be had.
    int SelectPixelFormat();
};

// The descriptor asked of ChoosePixelFormat: RGBA, 24 colour bits, double-buffered, drawing to a
// window with OpenGL, `depthBits` depth bits.
PIXELFORMATDESCRIPTOR MakePixelFormatDescriptor(int32_t depthBits);

}  // namespace OpenglDriver
