/* A GLX stand-in for a poorer driver, preloaded by the pixel-format fallback tests: with
 * MORVANE_GLX_MAX_DEPTH set it hides every configuration with more depth bits than that, and
 * with MORVANE_GLX_MAX_SAMPLES set it reports multisampled configurations as having at most that
 * many samples. Everything else goes to the real library. */
#define _GNU_SOURCE
#include <GL/glx.h>
#include <dlfcn.h>
#include <stdlib.h>

/* Found by the tests to make sure the stand-in is in place. */
int MorvaneGlxLimitsLoaded = 1;

typedef GLXFBConfig* (*GetConfigsFunction)(Display*, int, int*);
typedef int (*GetAttributeFunction)(Display*, GLXFBConfig, int, int*);

static int Limit(const char* name)
{
    const char* value = getenv(name);
    return value && *value ? atoi(value) : -1;
}

int glXGetFBConfigAttrib(Display* display, GLXFBConfig config, int attribute, int* value)
{
    GetAttributeFunction real = (GetAttributeFunction)dlsym(RTLD_NEXT, "glXGetFBConfigAttrib");
    int status = real(display, config, attribute, value);
    int maxSamples = Limit("MORVANE_GLX_MAX_SAMPLES");
    if (status == Success && attribute == GLX_SAMPLES && maxSamples >= 0 && *value > maxSamples) {
        *value = maxSamples;
    }
    return status;
}

GLXFBConfig* glXGetFBConfigs(Display* display, int screen, int* count)
{
    GetConfigsFunction real = (GetConfigsFunction)dlsym(RTLD_NEXT, "glXGetFBConfigs");
    GetAttributeFunction attribute = (GetAttributeFunction)dlsym(RTLD_NEXT, "glXGetFBConfigAttrib");
    GLXFBConfig* configs = real(display, screen, count);
    int maxDepth = Limit("MORVANE_GLX_MAX_DEPTH");
    if (!configs || maxDepth < 0) {
        return configs;
    }
    int kept = 0;
    for (int i = 0; i < *count; ++i) {
        int depth = 0;
        attribute(display, configs[i], GLX_DEPTH_SIZE, &depth);
        if (depth <= maxDepth) {
            configs[kept++] = configs[i];
        }
    }
    *count = kept;
    return configs;
}
