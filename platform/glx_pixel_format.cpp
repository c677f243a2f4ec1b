// Pixel formats on GLX: the numbered list of window-capable FBConfigs, ChoosePixelFormat,
// SetPixelFormat, DescribePixelFormat, and the WGL_ARB_pixel_format choosing function with the
// WGL extension string.
#include <algorithm>
#include <string>
#include <tuple>

#include "Windows.h"
#include "WglArb.h"
#include "linux/GlxInternal.h"
#include "linux/PosixInternal.h"
#include "linux/X11Internal.h"

namespace Platform {
namespace {

int Attribute(Display* display, GLXFBConfig config, int attribute)
{
    int value = 0;
    glXGetFBConfigAttrib(display, config, attribute, &value);
    return value;
}

int ShiftOf(unsigned long mask)
{
    int shift = 0;
    while (mask && (mask & 1) == 0) {
        mask >>= 1;
        ++shift;
    }
    return shift;
}

std::vector<PixelFormat> ReadPixelFormats(Display* display)
{
    std::vector<PixelFormat> formats;
    int count = 0;
    GLXFBConfig* configs = glXGetFBConfigs(display, DefaultScreen(display), &count);
    for (int i = 0; configs && i < count; ++i) {
        GLXFBConfig config = configs[i];
        if ((Attribute(display, config, GLX_DRAWABLE_TYPE) & GLX_WINDOW_BIT) == 0 ||
            (Attribute(display, config, GLX_RENDER_TYPE) & GLX_RGBA_BIT) == 0) {
            continue;
        }
        XVisualInfo* visual = glXGetVisualFromFBConfig(display, config);
        if (!visual) {
            continue;
        }
        PixelFormat format;
        format.config = config;
        format.visual = visual->visual;
        format.visualDepth = visual->depth;
        format.visualClass = visual->c_class;
        format.redMask = visual->red_mask;
        format.greenMask = visual->green_mask;
        format.blueMask = visual->blue_mask;
        XFree(visual);
        format.red = Attribute(display, config, GLX_RED_SIZE);
        format.green = Attribute(display, config, GLX_GREEN_SIZE);
        format.blue = Attribute(display, config, GLX_BLUE_SIZE);
        format.alpha = Attribute(display, config, GLX_ALPHA_SIZE);
        format.depth = Attribute(display, config, GLX_DEPTH_SIZE);
        format.stencil = Attribute(display, config, GLX_STENCIL_SIZE);
        format.accumRed = Attribute(display, config, GLX_ACCUM_RED_SIZE);
        format.accumGreen = Attribute(display, config, GLX_ACCUM_GREEN_SIZE);
        format.accumBlue = Attribute(display, config, GLX_ACCUM_BLUE_SIZE);
        format.accumAlpha = Attribute(display, config, GLX_ACCUM_ALPHA_SIZE);
        format.auxBuffers = Attribute(display, config, GLX_AUX_BUFFERS);
        format.doubleBuffer = Attribute(display, config, GLX_DOUBLEBUFFER) != 0;
        format.slow = Attribute(display, config, GLX_CONFIG_CAVEAT) == GLX_SLOW_CONFIG;
        format.sampleBuffers = Attribute(display, config, GLX_SAMPLE_BUFFERS);
        format.samples = Attribute(display, config, GLX_SAMPLES);
        formats.push_back(format);
    }
    // The configs stay valid while the connection is open; only the array is ours.
    if (configs) {
        XFree(configs);
    }
    return formats;
}

int AccumBits(const PixelFormat& format)
{
    return format.accumRed + format.accumGreen + format.accumBlue + format.accumAlpha;
}

// Criteria of a WGL_ARB_pixel_format request. -1 means "not asked".
struct ArbRequest {
    int drawToWindow = -1;
    int supportOpengl = -1;
    int acceleration = -1;
    int doubleBuffer = -1;
    int colorBits = -1;
    int alphaBits = -1;
    int depthBits = -1;
    int stencilBits = -1;
    int sampleBuffers = -1;
    int samples = -1;
};

// Reads the zero-terminated attribute pairs; false with the last error set for an attribute
// that is not understood.
bool ReadArbRequest(const int* attributes, ArbRequest& request)
{
    for (const int* pair = attributes; pair && pair[0] != 0; pair += 2) {
        int value = pair[1];
        switch (pair[0]) {
        case WGL_DRAW_TO_WINDOW_ARB: request.drawToWindow = value != 0; break;
        case WGL_SUPPORT_OPENGL_ARB: request.supportOpengl = value != 0; break;
        case WGL_ACCELERATION_ARB: request.acceleration = value; break;
        case WGL_DOUBLE_BUFFER_ARB: request.doubleBuffer = value != 0; break;
        case WGL_COLOR_BITS_ARB: request.colorBits = value; break;
        case WGL_ALPHA_BITS_ARB: request.alphaBits = value; break;
        case WGL_DEPTH_BITS_ARB: request.depthBits = value; break;
        case WGL_STENCIL_BITS_ARB: request.stencilBits = value; break;
        case WGL_SAMPLE_BUFFERS_ARB: request.sampleBuffers = value; break;
        case WGL_SAMPLES_ARB: request.samples = value; break;
        default:
            SetLastErrorWithNote(ERROR_INVALID_DATA,
                                 L"The pixel-format attribute " + std::to_wstring(pair[0]) +
                                     L" is not supported.");
            return false;
        }
    }
    return true;
}

// Booleans, acceleration, depth and samples must match exactly (GLX treats depth and samples
// as minimums, and the caller steps the sample count down itself); colour, alpha and stencil
// bits are minimums.
bool Matches(const PixelFormat& format, const ArbRequest& request)
{
    if (!format.HasPlainVisual()) return false;
    if (request.drawToWindow == 0 || request.supportOpengl == 0) return false;
    if (request.acceleration == WGL_NO_ACCELERATION_ARB) return false;
    if (request.acceleration == WGL_GENERIC_ACCELERATION_ARB && !format.slow) return false;
    if (request.acceleration == WGL_FULL_ACCELERATION_ARB && format.slow) return false;
    if (request.doubleBuffer >= 0 && format.doubleBuffer != (request.doubleBuffer != 0)) return false;
    if (request.colorBits >= 0 && format.ColorBits() < request.colorBits) return false;
    if (request.alphaBits >= 0 && format.alpha < request.alphaBits) return false;
    if (request.depthBits >= 0 && format.depth != request.depthBits) return false;
    if (request.stencilBits >= 0 && format.stencil < request.stencilBits) return false;
    if (request.sampleBuffers >= 0 && (format.sampleBuffers > 0) != (request.sampleBuffers > 0)) return false;
    if (request.samples >= 0 && format.samples != request.samples) return false;
    return true;
}

// Smaller is better: the fewest bits beyond what was asked, then the lower index.
auto ArbRank(const PixelFormat& format, const ArbRequest& request, int index)
{
    return std::make_tuple(format.ColorBits() - std::max(0, request.colorBits),
                           format.alpha - std::max(0, request.alphaBits),
                           format.stencil - std::max(0, request.stencilBits), AccumBits(format),
                           format.auxBuffers, index);
}

}  // namespace

const std::vector<PixelFormat>& PixelFormats()
{
    static std::vector<PixelFormat> formats;
    static bool read = false;
    static const std::vector<PixelFormat> none;
    if (read) {
        return formats;
    }
    Display* display = X11Connection();
    if (!display) {
        return none;
    }
    int errorBase = 0, eventBase = 0;
    if (!glXQueryExtension(display, &errorBase, &eventBase)) {
        SetLastErrorWithNote(ERROR_NOT_SUPPORTED,
                             L"The X display offers no GLX extension, so OpenGL is not available.");
        return none;
    }
    formats = ReadPixelFormats(display);
    read = true;
    if (formats.empty()) {
        SetLastErrorWithNote(ERROR_INVALID_PIXEL_FORMAT,
                             L"GLX offers no RGBA pixel format that can draw to a window.");
    }
    return formats;
}

const PixelFormat* FindPixelFormat(int index)
{
    const std::vector<PixelFormat>& formats = PixelFormats();
    if (formats.empty()) {
        return nullptr;
    }
    if (index < 1 || index > static_cast<int>(formats.size())) {
        SetLastErrorWithNote(ERROR_INVALID_PIXEL_FORMAT,
                             L"There is no pixel format " + std::to_wstring(index) +
                                 L"; the formats are numbered 1 to " +
                                 std::to_wstring(formats.size()) + L".");
        return nullptr;
    }
    return &formats[static_cast<size_t>(index - 1)];
}

BOOL WINAPI ChoosePixelFormatArb(HDC dc, const int* intAttributes, const FLOAT* floatAttributes,
                                 UINT maxFormats, int* formats, UINT* numFormats)
{
    if (!FindX11WindowByDc(dc)) {
        return FALSE;
    }
    if (!numFormats || (maxFormats > 0 && !formats)) {
        SetLastErrorWithNote(ERROR_INVALID_PARAMETER,
                             L"wglChoosePixelFormatARB needs room for the formats and their count.");
        return FALSE;
    }
    if (floatAttributes && floatAttributes[0] != 0.0f) {
        SetLastErrorWithNote(ERROR_INVALID_DATA, L"No floating-point pixel-format attribute is supported.");
        return FALSE;
    }
    ArbRequest request;
    if (!ReadArbRequest(intAttributes, request)) {
        return FALSE;
    }
    const std::vector<PixelFormat>& all = PixelFormats();
    if (all.empty()) {
        return FALSE;
    }
    std::vector<int> matching;
    for (size_t i = 0; i < all.size(); ++i) {
        if (Matches(all[i], request)) {
            matching.push_back(static_cast<int>(i) + 1);
        }
    }
    std::sort(matching.begin(), matching.end(), [&](int a, int b) {
        return ArbRank(all[static_cast<size_t>(a - 1)], request, a) <
               ArbRank(all[static_cast<size_t>(b - 1)], request, b);
    });
    UINT count = std::min(maxFormats, static_cast<UINT>(matching.size()));
    std::copy(matching.begin(), matching.begin() + count, formats);
    *numFormats = count;
    return TRUE;
}

const char* WINAPI GetExtensionsStringArb(HDC)
{
    static const std::string withMultisample =
        "WGL_ARB_extensions_string WGL_ARB_multisample WGL_ARB_pixel_format";
    static const std::string plain = "WGL_ARB_extensions_string WGL_ARB_pixel_format";
    const std::vector<PixelFormat>& all = PixelFormats();
    bool multisample = std::any_of(all.begin(), all.end(), [](const PixelFormat& format) {
        return format.sampleBuffers > 0 && format.HasPlainVisual();
    });
    return multisample ? withMultisample.c_str() : plain.c_str();
}

}  // namespace Platform

using Platform::PixelFormat;

int WINAPI ChoosePixelFormat(HDC dc, const PIXELFORMATDESCRIPTOR* descriptor)
{
    using Platform::SetLastErrorWithNote;
    if (!Platform::FindX11WindowByDc(dc)) {
        return 0;
    }
    if (!descriptor) {
        SetLastErrorWithNote(ERROR_INVALID_PARAMETER, L"ChoosePixelFormat needs a descriptor.");
        return 0;
    }
    const std::vector<PixelFormat>& all = Platform::PixelFormats();
    if (all.empty()) {
        return 0;
    }
    DWORD flags = descriptor->dwFlags;
    bool anyDepth = (flags & PFD_DEPTH_DONTCARE) != 0;
    bool anyBuffering = (flags & PFD_DOUBLEBUFFER_DONTCARE) != 0;
    bool wantDouble = (flags & PFD_DOUBLEBUFFER) != 0;
    int best = 0;
    std::tuple<bool, int, int, int, int, int, int> bestRank{};
    for (size_t i = 0; i < all.size(); ++i) {
        const PixelFormat& format = all[i];
        if (descriptor->iPixelType != PFD_TYPE_RGBA || !format.HasPlainVisual() ||
            format.sampleBuffers > 0 || (!anyBuffering && format.doubleBuffer != wantDouble) ||
            format.ColorBits() < descriptor->cColorBits || format.alpha < descriptor->cAlphaBits ||
            (!anyDepth && format.depth < descriptor->cDepthBits) ||
            format.stencil < descriptor->cStencilBits) {
            continue;
        }
        // Prefer fast formats, then the closest depth, then the fewest extra bits.
        auto rank = std::make_tuple(format.slow, anyDepth ? 0 : format.depth - descriptor->cDepthBits,
                                    format.ColorBits() - descriptor->cColorBits,
                                    format.alpha - descriptor->cAlphaBits,
                                    format.stencil - descriptor->cStencilBits,
                                    Platform::AccumBits(format), format.auxBuffers);
        if (best == 0 || rank < bestRank) {
            best = static_cast<int>(i) + 1;
            bestRank = rank;
        }
    }
    if (best == 0) {
        SetLastErrorWithNote(
            ERROR_INVALID_PIXEL_FORMAT,
            L"No pixel format has " + std::to_wstring(descriptor->cColorBits) + L" colour, " +
                std::to_wstring(descriptor->cAlphaBits) + L" alpha, " +
                std::to_wstring(descriptor->cDepthBits) + L" depth and " +
                std::to_wstring(descriptor->cStencilBits) + L" stencil bits" +
                (wantDouble ? L" with double buffering." : L"."));
    }
    return best;
}

BOOL WINAPI SetPixelFormat(HDC dc, int format, const PIXELFORMATDESCRIPTOR*)
{
    Platform::X11Window* window = Platform::FindX11WindowByDc(dc);
    if (!window) {
        return FALSE;
    }
    const PixelFormat* chosen = Platform::FindPixelFormat(format);
    if (!chosen) {
        return FALSE;
    }
    return window->TakePixelFormat(format, chosen->visual, chosen->visualDepth) ? TRUE : FALSE;
}

int WINAPI DescribePixelFormat(HDC dc, int format, UINT bytes, LPPIXELFORMATDESCRIPTOR descriptor)
{
    if (!Platform::FindX11WindowByDc(dc)) {
        return 0;
    }
    const std::vector<PixelFormat>& all = Platform::PixelFormats();
    if (all.empty()) {
        return 0;
    }
    int count = static_cast<int>(all.size());
    if (!descriptor) {
        return count;
    }
    const PixelFormat* chosen = Platform::FindPixelFormat(format);
    if (!chosen) {
        return 0;
    }
    PIXELFORMATDESCRIPTOR filled{};
    filled.nSize = sizeof(PIXELFORMATDESCRIPTOR);
    filled.nVersion = 1;
    filled.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL |
                     (chosen->doubleBuffer ? PFD_DOUBLEBUFFER : 0) |
                     (chosen->slow ? PFD_GENERIC_FORMAT : 0);
    filled.iPixelType = PFD_TYPE_RGBA;
    filled.cColorBits = static_cast<BYTE>(chosen->ColorBits());
    filled.cRedBits = static_cast<BYTE>(chosen->red);
    filled.cRedShift = static_cast<BYTE>(Platform::ShiftOf(chosen->redMask));
    filled.cGreenBits = static_cast<BYTE>(chosen->green);
    filled.cGreenShift = static_cast<BYTE>(Platform::ShiftOf(chosen->greenMask));
    filled.cBlueBits = static_cast<BYTE>(chosen->blue);
    filled.cBlueShift = static_cast<BYTE>(Platform::ShiftOf(chosen->blueMask));
    filled.cAlphaBits = static_cast<BYTE>(chosen->alpha);
    filled.cAlphaShift = static_cast<BYTE>(chosen->alpha ? 24 : 0);
    filled.cAccumBits = static_cast<BYTE>(Platform::AccumBits(*chosen));
    filled.cAccumRedBits = static_cast<BYTE>(chosen->accumRed);
    filled.cAccumGreenBits = static_cast<BYTE>(chosen->accumGreen);
    filled.cAccumBlueBits = static_cast<BYTE>(chosen->accumBlue);
    filled.cAccumAlphaBits = static_cast<BYTE>(chosen->accumAlpha);
    filled.cDepthBits = static_cast<BYTE>(chosen->depth);
    filled.cStencilBits = static_cast<BYTE>(chosen->stencil);
    filled.cAuxBuffers = static_cast<BYTE>(chosen->auxBuffers);
    filled.iLayerType = PFD_MAIN_PLANE;
    const BYTE* source = reinterpret_cast<const BYTE*>(&filled);
    std::copy(source, source + std::min<size_t>(bytes, sizeof filled),
              reinterpret_cast<BYTE*>(descriptor));
    return count;
}
