// The offscreen context on Linux: EGL's surfaceless platform (EGL_MESA_platform_surfaceless) with
// a context of no config and no surface, OpenGL 2.1 or later in the compatibility profile, as the
// window's. GLEW loads the GL entry points through the dispatch the GL library shares with EGL;
// it then reports that there is no GLX display, which a context without a window never has.
#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <GL/glew.h>

#include <cstring>
#include <cwchar>

#include "OffscreenContext.h"

namespace Platform {
namespace {

class EglContext : public OffscreenContext {
public:
    EglContext(EGLDisplay display, EGLContext context) : m_display(display), m_context(context) {}
    // The display itself stays initialised until the process ends: terminating it unloads the
    // GL driver, and what the driver keeps until exit could no longer be told from a leak of ours.
    ~EglContext() override
    {
        eglMakeCurrent(m_display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
        eglDestroyContext(m_display, m_context);
    }

private:
    EGLDisplay m_display;
    EGLContext m_context;
};

std::wstring EglError(const wchar_t* what)
{
    wchar_t code[16];
    swprintf(code, 16, L"0x%04X", static_cast<unsigned>(eglGetError()));
    return std::wstring(what) + L" (EGL error " + code + L").";
}

}  // namespace

std::unique_ptr<OffscreenContext> CreateOffscreenContext(std::wstring& reason)
{
    const char* clientExtensions = eglQueryString(EGL_NO_DISPLAY, EGL_EXTENSIONS);
    auto getPlatformDisplay =
        reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(eglGetProcAddress("eglGetPlatformDisplayEXT"));
    if (!clientExtensions || !getPlatformDisplay ||
        !std::strstr(clientExtensions, "EGL_MESA_platform_surfaceless")) {
        reason = L"This system's EGL cannot draw without a window: it lacks Mesa's surfaceless platform "
                 L"(EGL_MESA_platform_surfaceless; Debian's libegl-mesa0 has it).";
        return nullptr;
    }
    EGLDisplay display = getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
    EGLint major = 0, minor = 0;
    if (display == EGL_NO_DISPLAY || !eglInitialize(display, &major, &minor)) {
        reason = EglError(L"EGL could not be started on its surfaceless platform");
        return nullptr;
    }
    const char* extensions = eglQueryString(display, EGL_EXTENSIONS);
    if (!extensions || !std::strstr(extensions, "EGL_KHR_surfaceless_context") ||
        !std::strstr(extensions, "EGL_KHR_no_config_context") || !eglBindAPI(EGL_OPENGL_API)) {
        eglTerminate(display);
        reason = L"This system's EGL cannot make an OpenGL context without a window (it needs "
                 L"EGL_KHR_surfaceless_context and EGL_KHR_no_config_context).";
        return nullptr;
    }
    const EGLint attributes[] = {EGL_CONTEXT_MAJOR_VERSION, 2, EGL_CONTEXT_MINOR_VERSION, 1, EGL_NONE};
    EGLContext context = eglCreateContext(display, EGL_NO_CONFIG_KHR, EGL_NO_CONTEXT, attributes);
    if (context == EGL_NO_CONTEXT) {
        reason = EglError(L"EGL could not create an OpenGL 2.1 context");
        eglTerminate(display);
        return nullptr;
    }
    if (!eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, context)) {
        reason = EglError(L"EGL could not make its OpenGL context current");
        eglDestroyContext(display, context);
        eglTerminate(display);
        return nullptr;
    }
    std::unique_ptr<OffscreenContext> made(new EglContext(display, context));
    const GLenum loaded = glewInit();
    if (loaded != GLEW_OK && loaded != GLEW_ERROR_NO_GLX_DISPLAY) {
        reason = L"The OpenGL functions could not be loaded (GLEW error " + std::to_wstring(loaded) + L").";
        return nullptr;
    }
    return made;
}

}  // namespace Platform
