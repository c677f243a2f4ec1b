// WGL contexts on GLX: creating (2.1 compatibility profile), making current, deleting, the
// current context and device context, wglGetProcAddress, and SwapBuffers.
#include <map>
#include <string>

#include "ExtensionList.h"
#include "Windows.h"
#include "linux/GlxInternal.h"
#include "linux/PosixInternal.h"
#include "linux/X11Internal.h"

namespace Platform {
namespace {

struct ContextRecord {
    GLXContext context = nullptr;
    int pixelFormat = 0;
};

std::map<UINT_PTR, ContextRecord>& Contexts()
{
    static std::map<UINT_PTR, ContextRecord> contexts;
    return contexts;
}

// Context handles, like window handles, are never reused.
UINT_PTR g_nextContext = 0x30000;

HDC g_currentDc = nullptr;
HGLRC g_currentContext = nullptr;

ContextRecord* FindContext(HGLRC handle)
{
    auto found = Contexts().find(reinterpret_cast<UINT_PTR>(handle));
    if (found == Contexts().end()) {
        SetLastErrorWithNote(ERROR_INVALID_HANDLE, L"The OpenGL context handle is not valid.");
        return nullptr;
    }
    return &found->second;
}

bool HasGlxExtension(Display* display, const char* name)
{
    return ContainsExtension(glXQueryExtensionsString(display, DefaultScreen(display)), name);
}

using CreateContextAttribs = GLXContext (*)(Display*, GLXFBConfig, GLXContext, Bool, const int*);

// A 2.1 compatibility-profile context through GLX_ARB_create_context_profile, or null.
GLXContext CreateCompatibilityContext(Display* display, GLXFBConfig config)
{
    if (!HasGlxExtension(display, "GLX_ARB_create_context_profile")) {
        return nullptr;
    }
    auto create = reinterpret_cast<CreateContextAttribs>(
        glXGetProcAddressARB(reinterpret_cast<const GLubyte*>("glXCreateContextAttribsARB")));
    if (!create) {
        return nullptr;
    }
    const int attributes[] = {GLX_CONTEXT_MAJOR_VERSION_ARB,
                              2,
                              GLX_CONTEXT_MINOR_VERSION_ARB,
                              1,
                              GLX_CONTEXT_PROFILE_MASK_ARB,
                              GLX_CONTEXT_COMPATIBILITY_PROFILE_BIT_ARB,
                              None};
    X11ErrorTrap trap(display);
    GLXContext context = create(display, config, nullptr, True, attributes);
    if (!trap.Check(ERROR_NOT_SUPPORTED, L"Creating a compatibility-profile context")) {
        if (context) {
            glXDestroyContext(display, context);
        }
        return nullptr;
    }
    return context;
}

void ReleaseCurrent(Display* display)
{
    if (display) {
        glXMakeContextCurrent(display, None, None, nullptr);
    }
    g_currentDc = nullptr;
    g_currentContext = nullptr;
}

template <typename Function>
PROC AsProc(Function function)
{
    // Through void (*)(), which GCC accepts as a cast to and from any function pointer.
    return reinterpret_cast<PROC>(reinterpret_cast<void (*)()>(function));
}

// Before an X window is destroyed: a context current on it is released, so that GL never draws
// to a window that is gone.
void ReleaseContextOnWindow(::Window window)
{
    Display* display = X11ConnectionIfOpen();
    if (display && g_currentContext && glXGetCurrentDrawable() == window) {
        // As on Windows the context stays current in name; GL calls now reach no drawable.
        glXMakeContextCurrent(display, None, None, nullptr);
    }
}

}  // namespace

}  // namespace Platform

HGLRC WINAPI wglCreateContext(HDC dc)
{
    using namespace Platform;
    X11Window* window = FindX11WindowByDc(dc);
    if (!window) {
        return nullptr;
    }
    if (window->PixelFormat() == 0) {
        SetLastErrorWithNote(ERROR_INVALID_PIXEL_FORMAT,
                             L"The window has no pixel format yet (SetPixelFormat comes first).");
        return nullptr;
    }
    const PixelFormat* format = FindPixelFormat(window->PixelFormat());
    if (!format) {
        return nullptr;
    }
    Display* display = X11ConnectionIfOpen();
    GLXContext context = CreateCompatibilityContext(display, format->config);
    if (!context) {
        X11ErrorTrap trap(display);
        context = glXCreateNewContext(display, format->config, GLX_RGBA_TYPE, nullptr, True);
        if (!trap.Check(ERROR_NOT_SUPPORTED, L"Creating an OpenGL context")) {
            if (context) {
                glXDestroyContext(display, context);
            }
            return nullptr;
        }
        if (!context) {
            SetLastErrorWithNote(ERROR_NOT_SUPPORTED,
                                 L"GLX could not create an OpenGL context for pixel format " +
                                     std::to_wstring(window->PixelFormat()) + L".");
            return nullptr;
        }
    }
    SetDrawableReleaseHook(ReleaseContextOnWindow);
    UINT_PTR handle = g_nextContext;
    g_nextContext += 4;
    Contexts()[handle] = ContextRecord{context, window->PixelFormat()};
    return reinterpret_cast<HGLRC>(handle);
}

BOOL WINAPI wglMakeCurrent(HDC dc, HGLRC handle)
{
    using namespace Platform;
    if (!handle) {
        // Releasing the current context ignores the device context, as on Windows.
        ReleaseCurrent(X11ConnectionIfOpen());
        return TRUE;
    }
    ContextRecord* record = FindContext(handle);
    if (!record) {
        return FALSE;
    }
    X11Window* window = FindX11WindowByDc(dc);
    if (!window) {
        return FALSE;
    }
    if (window->PixelFormat() != record->pixelFormat) {
        SetLastErrorWithNote(ERROR_INVALID_PIXEL_FORMAT,
                             L"The context was made for pixel format " +
                                 std::to_wstring(record->pixelFormat) +
                                 L" but the window has pixel format " +
                                 std::to_wstring(window->PixelFormat()) + L".");
        return FALSE;
    }
    Display* display = X11ConnectionIfOpen();
    X11ErrorTrap trap(display);
    Bool made = glXMakeContextCurrent(display, window->Drawable(), window->Drawable(),
                                      record->context);
    if (!trap.Check(ERROR_INVALID_HANDLE, L"Making the OpenGL context current")) {
        return FALSE;
    }
    if (!made) {
        SetLastErrorWithNote(ERROR_INVALID_HANDLE, L"GLX refused to make the context current.");
        return FALSE;
    }
    g_currentDc = dc;
    g_currentContext = handle;
    return TRUE;
}

BOOL WINAPI wglDeleteContext(HGLRC handle)
{
    using namespace Platform;
    ContextRecord* record = FindContext(handle);
    if (!record) {
        return FALSE;
    }
    Display* display = X11ConnectionIfOpen();
    if (g_currentContext == handle) {
        ReleaseCurrent(display);
    }
    glXDestroyContext(display, record->context);
    Contexts().erase(reinterpret_cast<UINT_PTR>(handle));
    return TRUE;
}

HDC WINAPI wglGetCurrentDC()
{
    return Platform::g_currentDc;
}

HGLRC WINAPI wglGetCurrentContext()
{
    return Platform::g_currentContext;
}

PROC WINAPI wglGetProcAddress(LPCSTR name)
{
    using namespace Platform;
    if (!name) {
        SetLastErrorWithNote(ERROR_INVALID_PARAMETER, L"wglGetProcAddress needs a name.");
        return nullptr;
    }
    if (!g_currentContext) {
        SetLastErrorWithNote(ERROR_INVALID_HANDLE,
                             L"No OpenGL context is current, so no function can be looked up.");
        return nullptr;
    }
    std::string wanted = name;
    if (wanted == "wglChoosePixelFormatARB") {
        return AsProc(&ChoosePixelFormatArb);
    }
    if (wanted == "wglGetExtensionsStringARB") {
        return AsProc(&GetExtensionsStringArb);
    }
    // GLX answers every name with a dispatch stub, so only names of GL functions go to it.
    __GLXextFuncPtr function = wanted.compare(0, 2, "gl") == 0 && wanted.compare(0, 3, "glX") != 0
                                   ? glXGetProcAddressARB(reinterpret_cast<const GLubyte*>(name))
                                   : nullptr;
    if (!function) {
        SetLastErrorWithNote(ERROR_PROC_NOT_FOUND,
                             L"No function \"" + Utf8ToWideText(wanted) + L"\" is available.");
        return nullptr;
    }
    return AsProc(function);
}

BOOL WINAPI SwapBuffers(HDC dc)
{
    using namespace Platform;
    X11Window* window = FindX11WindowByDc(dc);
    if (!window) {
        return FALSE;
    }
    if (window->PixelFormat() == 0) {
        SetLastErrorWithNote(ERROR_INVALID_PIXEL_FORMAT,
                             L"The window has no pixel format, so it has no buffers to swap.");
        return FALSE;
    }
    Display* display = X11ConnectionIfOpen();
    X11ErrorTrap trap(display);
    glXSwapBuffers(display, window->Drawable());
    return trap.Check(ERROR_INVALID_HANDLE, L"Swapping the buffers") ? TRUE : FALSE;
}
