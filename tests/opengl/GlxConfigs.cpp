// Lists the X server's GLX frame-buffer configurations on a connection of the test's own.
#include "GlxConfigs.h"

#include <GL/glx.h>

namespace DriverTesting {

int LargestSampleCount(int maxSamples, int depthBits)
{
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        return -1;
    }
    const int attributes[] = {GLX_DRAWABLE_TYPE, GLX_WINDOW_BIT, GLX_RENDER_TYPE, GLX_RGBA_BIT,
                              GLX_DOUBLEBUFFER, True, None};
    int count = 0;
    GLXFBConfig* configs = glXChooseFBConfig(display, DefaultScreen(display), attributes, &count);
    int largest = 0;
    for (int i = 0; i < count; ++i) {
        int samples = 0, sampleBuffers = 0, depth = 0;
        glXGetFBConfigAttrib(display, configs[i], GLX_SAMPLES, &samples);
        glXGetFBConfigAttrib(display, configs[i], GLX_SAMPLE_BUFFERS, &sampleBuffers);
        glXGetFBConfigAttrib(display, configs[i], GLX_DEPTH_SIZE, &depth);
        if (sampleBuffers > 0 && depth == depthBits && samples <= maxSamples && samples > largest) {
            largest = samples;
        }
    }
    if (configs != nullptr) {
        XFree(configs);
    }
    XCloseDisplay(display);
    return largest;
}

}  // namespace DriverTesting
