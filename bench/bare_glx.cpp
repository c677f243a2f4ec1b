// bare_glx: the smallest program that shows a ray-marching shader pair the way the viewer does.
// One 800 x 600 window, a GLX context of the viewer's kind of pixel format (24-bit colour, 8 alpha,
// 24 depth, double buffer, 4 samples where offered), the viewer's clear and render state, the
// full-screen quad drawn as two instances with the shaders read from glsl/ in the current
// directory, and the three uniforms set every frame for the default camera. Nothing else runs in
// its loop, so its frame rate is the limit the viewer can reach with the same shaders.
//
// Usage: bare_glx [--seconds S] [--frames N] [--time T] [--eye X,Y,Z] [--snapshot FILE.ppm] [--instances N]
//                [--count-invocations] [--size WxH]
//   --seconds S   stop after S seconds of drawing (default 10)
//   --frames N    stop after N presented frames
//   --time T      hold totalTime at T instead of the running clock (for still pictures)
//   --eye X,Y,Z   put the eye elsewhere (still looking at the origin)
//   --snapshot F  write the last frame to F (binary PPM) before exiting
//   --instances N draw the quad as N instances instead of the viewer's 2 (to see what the second costs)
//   --size WxH    make the window W x H instead of 800 x 600 (to match the drawing area a
//                 framed window leaves); screen2World still assumes 800 x 600, as in the viewer
//   --count-invocations  also print how many times the pixel stage ran in the last frame
//                 (GL_ARB_pipeline_statistics_query), after the summary: "pixel_invocations N"
// At exit it prints one line: "frames N seconds S fps F cpu_ms_per_frame C samples K GL version", C being
// the CPU time of all its threads per frame (which other load on the machine changes less than fps).
#include <GL/glew.h>
#include <GL/glx.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <sys/resource.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace
{
const int kWidth = 800;
const int kHeight = 600;

// Row-major 4x4 matrix; points are column vectors, translation in the fourth column.
struct Mat4
{
    float m[16];
};

Mat4 Multiply(const Mat4& a, const Mat4& b)
{
    Mat4 r{};
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
        {
            float sum = 0.0f;
            for (int k = 0; k < 4; ++k)
                sum += a.m[i * 4 + k] * b.m[k * 4 + j];
            r.m[i * 4 + j] = sum;
        }
    return r;
}

// General inverse by cofactors (the classic expansion); the matrices here are never singular.
Mat4 Inverse(const Mat4& in)
{
    const float* m = in.m;
    float inv[16];
    inv[0] = m[5] * m[10] * m[15] - m[5] * m[11] * m[14] - m[9] * m[6] * m[15] + m[9] * m[7] * m[14] + m[13] * m[6] * m[11] - m[13] * m[7] * m[10];
    inv[4] = -m[4] * m[10] * m[15] + m[4] * m[11] * m[14] + m[8] * m[6] * m[15] - m[8] * m[7] * m[14] - m[12] * m[6] * m[11] + m[12] * m[7] * m[10];
    inv[8] = m[4] * m[9] * m[15] - m[4] * m[11] * m[13] - m[8] * m[5] * m[15] + m[8] * m[7] * m[13] + m[12] * m[5] * m[11] - m[12] * m[7] * m[9];
    inv[12] = -m[4] * m[9] * m[14] + m[4] * m[10] * m[13] + m[8] * m[5] * m[14] - m[8] * m[6] * m[13] - m[12] * m[5] * m[10] + m[12] * m[6] * m[9];
    inv[1] = -m[1] * m[10] * m[15] + m[1] * m[11] * m[14] + m[9] * m[2] * m[15] - m[9] * m[3] * m[14] - m[13] * m[2] * m[11] + m[13] * m[3] * m[10];
    inv[5] = m[0] * m[10] * m[15] - m[0] * m[11] * m[14] - m[8] * m[2] * m[15] + m[8] * m[3] * m[14] + m[12] * m[2] * m[11] - m[12] * m[3] * m[10];
    inv[9] = -m[0] * m[9] * m[15] + m[0] * m[11] * m[13] + m[8] * m[1] * m[15] - m[8] * m[3] * m[13] - m[12] * m[1] * m[11] + m[12] * m[3] * m[9];
    inv[13] = m[0] * m[9] * m[14] - m[0] * m[10] * m[13] - m[8] * m[1] * m[14] + m[8] * m[2] * m[13] + m[12] * m[1] * m[10] - m[12] * m[2] * m[9];
    inv[2] = m[1] * m[6] * m[15] - m[1] * m[7] * m[14] - m[5] * m[2] * m[15] + m[5] * m[3] * m[14] + m[13] * m[2] * m[7] - m[13] * m[3] * m[6];
    inv[6] = -m[0] * m[6] * m[15] + m[0] * m[7] * m[14] + m[4] * m[2] * m[15] - m[4] * m[3] * m[14] - m[12] * m[2] * m[7] + m[12] * m[3] * m[6];
    inv[10] = m[0] * m[5] * m[15] - m[0] * m[7] * m[13] - m[4] * m[1] * m[15] + m[4] * m[3] * m[13] + m[12] * m[1] * m[7] - m[12] * m[3] * m[5];
    inv[14] = -m[0] * m[5] * m[14] + m[0] * m[6] * m[13] + m[4] * m[1] * m[14] - m[4] * m[2] * m[13] - m[12] * m[1] * m[6] + m[12] * m[2] * m[5];
    inv[3] = -m[1] * m[6] * m[11] + m[1] * m[7] * m[10] + m[5] * m[2] * m[11] - m[5] * m[3] * m[10] - m[9] * m[2] * m[7] + m[9] * m[3] * m[6];
    inv[7] = m[0] * m[6] * m[11] - m[0] * m[7] * m[10] - m[4] * m[2] * m[11] + m[4] * m[3] * m[10] + m[8] * m[2] * m[7] - m[8] * m[3] * m[6];
    inv[11] = -m[0] * m[5] * m[11] + m[0] * m[7] * m[9] + m[4] * m[1] * m[11] - m[4] * m[3] * m[9] - m[8] * m[1] * m[7] + m[8] * m[3] * m[5];
    inv[15] = m[0] * m[5] * m[10] - m[0] * m[6] * m[9] - m[4] * m[1] * m[10] + m[4] * m[2] * m[9] + m[8] * m[1] * m[6] - m[8] * m[2] * m[5];
    const float det = m[0] * inv[0] + m[1] * inv[4] + m[2] * inv[8] + m[3] * inv[12];
    Mat4 r{};
    for (int i = 0; i < 16; ++i)
        r.m[i] = inv[i] / det;
    return r;
}

struct Vec3
{
    float x, y, z;
};

Vec3 Normalize(Vec3 v)
{
    const float len = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
    return len < 1.1920929e-7f ? v : Vec3{v.x / len, v.y / len, v.z / len};
}

Vec3 Cross(Vec3 a, Vec3 b)
{
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

float Dot(Vec3 a, Vec3 b)
{
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

// The viewer's camera: look-at the origin, 45 degree vertical field of view, 4:3, near 0.1,
// far 1000; screen2World = inverse(window * projection * view) for an 800 x 600 surface.
Mat4 ScreenToWorld(Vec3 eye)
{
    const Vec3 f = Normalize({-eye.x, -eye.y, -eye.z});
    const Vec3 s = Normalize(Cross(f, {0.0f, 1.0f, 0.0f}));
    const Vec3 v = Normalize(Cross(s, f));
    const Mat4 view{{s.x, s.y, s.z, -Dot(s, eye), v.x, v.y, v.z, -Dot(v, eye), -f.x, -f.y, -f.z, Dot(f, eye), 0, 0, 0, 1}};
    const float invH = 1.0f / std::tan(0.3926991f);
    const float n = 0.1f, fa = 1000.0f;
    const Mat4 projection{{invH / 1.3333334f, 0, 0, 0, 0, invH, 0, 0, 0, 0, -(fa + n) / (fa - n), -2.0f * fa * n / (fa - n), 0, 0, -1, 0}};
    const float w = kWidth, h = kHeight;
    const Mat4 window{{w / 2, 0, 0, w / 2, 0, h / 2, 0, h / 2, 0, 0, 0.5f, 0.5f, 0, 0, 0, 1}};
    return Inverse(Multiply(Multiply(window, projection), view));
}

// CPU seconds used so far by every thread of the process, the renderer's threads included.
double CpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_utime.tv_usec / 1e6 + usage.ru_stime.tv_sec + usage.ru_stime.tv_usec / 1e6;
}

std::string ReadFile(const char* path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error(std::string("cannot open ") + path);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

GLuint Compile(GLenum stage, const std::string& text, const char* what)
{
    const GLuint shader = glCreateShader(stage);
    const char* source = text.c_str();
    const GLint length = static_cast<GLint>(text.size());
    glShaderSource(shader, 1, &source, &length);
    glCompileShader(shader);
    GLint ok = 0;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
    if (!ok)
    {
        GLint logLength = 0;
        glGetShaderiv(shader, GL_INFO_LOG_LENGTH, &logLength);
        std::vector<char> log(static_cast<size_t>(logLength) + 1, '\0');
        glGetShaderInfoLog(shader, logLength, nullptr, log.data());
        throw std::runtime_error(std::string(what) + " does not compile:\n" + log.data());
    }
    return shader;
}

GLXFBConfig ChooseConfig(Display* display, int& samplesFound)
{
    for (int samples = 4; samples >= 0; --samples)
    {
        const int attributes[] = {GLX_X_RENDERABLE, True, GLX_DRAWABLE_TYPE, GLX_WINDOW_BIT, GLX_RENDER_TYPE, GLX_RGBA_BIT,
                                  GLX_X_VISUAL_TYPE, GLX_TRUE_COLOR, GLX_RED_SIZE, 8, GLX_GREEN_SIZE, 8, GLX_BLUE_SIZE, 8,
                                  GLX_ALPHA_SIZE, 8, GLX_DEPTH_SIZE, 24, GLX_STENCIL_SIZE, 0, GLX_DOUBLEBUFFER, True,
                                  GLX_SAMPLE_BUFFERS, samples > 0 ? 1 : 0, GLX_SAMPLES, samples, None};
        int count = 0;
        GLXFBConfig* configs = glXChooseFBConfig(display, DefaultScreen(display), attributes, &count);
        GLXFBConfig chosen = nullptr;
        // The sizes asked for are minimums: keep only a config with exactly these values.
        for (int i = 0; i < count && !chosen; ++i)
        {
            int depth = 0, got = 0, alpha = 0;
            glXGetFBConfigAttrib(display, configs[i], GLX_DEPTH_SIZE, &depth);
            glXGetFBConfigAttrib(display, configs[i], GLX_SAMPLES, &got);
            glXGetFBConfigAttrib(display, configs[i], GLX_ALPHA_SIZE, &alpha);
            XVisualInfo* visual = glXGetVisualFromFBConfig(display, configs[i]);
            if (visual && visual->depth == 24 && depth == 24 && got == samples && alpha == 8)
                chosen = configs[i];
            if (visual)
                XFree(visual);
        }
        if (configs)
            XFree(configs);
        if (chosen)
        {
            samplesFound = samples;
            return chosen;
        }
    }
    throw std::runtime_error("no 24-bit colour, 24-bit depth, double-buffered GLX config");
}

GLXContext CreateContext(Display* display, GLXFBConfig config)
{
    typedef GLXContext (*CreateContextAttribs)(Display*, GLXFBConfig, GLXContext, Bool, const int*);
    const auto create = reinterpret_cast<CreateContextAttribs>(
        glXGetProcAddressARB(reinterpret_cast<const GLubyte*>("glXCreateContextAttribsARB")));
    if (create)
    {
        const int attributes[] = {GLX_CONTEXT_MAJOR_VERSION_ARB, 2, GLX_CONTEXT_MINOR_VERSION_ARB, 1, None};
        if (GLXContext context = create(display, config, nullptr, True, attributes))
            return context;
    }
    GLXContext context = glXCreateNewContext(display, config, GLX_RGBA_TYPE, nullptr, True);
    if (!context)
        throw std::runtime_error("cannot create a GLX context");
    return context;
}

void WriteSnapshot(const char* path, int width, int height)
{
    std::vector<unsigned char> pixels(static_cast<size_t>(width) * height * 3);
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    std::ofstream out(path, std::ios::binary);
    out << "P6\n" << width << " " << height << "\n255\n";
    for (int row = height - 1; row >= 0; --row)
        out.write(reinterpret_cast<const char*>(&pixels[static_cast<size_t>(row) * width * 3]), width * 3);
    if (!out)
        throw std::runtime_error(std::string("cannot write ") + path);
}

struct Options
{
    double seconds = 10.0;
    long frames = -1;
    double fixedTime = -1.0;
    Vec3 eye{0.0f, 10.0f, 30.0f};
    const char* snapshot = nullptr;
    int instances = 2;
    bool countInvocations = false;
    int width = kWidth;
    int height = kHeight;
};

Options ParseOptions(int argc, char** argv)
{
    Options options;
    for (int i = 1; i < argc; ++i)
    {
        const std::string name = argv[i];
        if (name == "--count-invocations")
        {
            options.countInvocations = true;
            continue;
        }
        if (i + 1 >= argc)
            throw std::runtime_error("missing value after " + name);
        const char* value = argv[++i];
        if (name == "--seconds")
            options.seconds = std::atof(value);
        else if (name == "--frames")
            options.frames = std::atol(value);
        else if (name == "--time")
            options.fixedTime = std::atof(value);
        else if (name == "--instances")
            options.instances = std::atoi(value);
        else if (name == "--size")
        {
            if (std::sscanf(value, "%dx%d", &options.width, &options.height) != 2 || options.width <= 0 || options.height <= 0)
                throw std::runtime_error("--size wants WxH");
        }
        else if (name == "--snapshot")
            options.snapshot = value;
        else if (name == "--eye")
        {
            if (std::sscanf(value, "%f,%f,%f", &options.eye.x, &options.eye.y, &options.eye.z) != 3)
                throw std::runtime_error("--eye wants X,Y,Z");
        }
        else
            throw std::runtime_error("unknown option " + name);
    }
    return options;
}

int Run(int argc, char** argv)
{
    const Options options = ParseOptions(argc, argv);
    const std::string vertexText = ReadFile("glsl/vertexShader.glsl");
    const std::string pixelText = ReadFile("glsl/pixelShader.glsl");

    Display* display = XOpenDisplay(nullptr);
    if (!display)
        throw std::runtime_error("cannot open the X display");
    int samples = 0;
    const GLXFBConfig config = ChooseConfig(display, samples);
    XVisualInfo* visual = glXGetVisualFromFBConfig(display, config);
    const Window root = RootWindow(display, visual->screen);
    XSetWindowAttributes attributes{};
    attributes.colormap = XCreateColormap(display, root, visual->visual, AllocNone);
    attributes.border_pixel = 0;
    attributes.event_mask = StructureNotifyMask;
    const Window window = XCreateWindow(display, root, 0, 0, options.width, options.height, 0, visual->depth, InputOutput, visual->visual,
                                        CWColormap | CWBorderPixel | CWEventMask, &attributes);
    XFree(visual);
    XStoreName(display, window, "bare_glx");
    Atom deleteWindow = XInternAtom(display, "WM_DELETE_WINDOW", False);
    XSetWMProtocols(display, window, &deleteWindow, 1);
    XMapWindow(display, window);

    const GLXContext context = CreateContext(display, config);
    glXMakeContextCurrent(display, window, window, context);
    if (glewInit() != GLEW_OK)
        throw std::runtime_error("glewInit failed");

    // The viewer's fixed render state.
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    glEnable(GL_CULL_FACE);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LESS);
    glClearColor(0.5f, 0.5f, 0.7f, 0.0f);

    // The full-screen quad: position then normal per vertex, 24 bytes, normals zero.
    const float vertices[24] = {-1, -1, -1, 0, 0, 0, 1, -1, -1, 0, 0, 0, 1, 1, -1, 0, 0, 0, -1, 1, -1, 0, 0, 0};
    const int indices[6] = {0, 1, 2, 0, 2, 3};
    GLuint buffers[2];
    glGenBuffers(2, buffers);
    glBindBuffer(GL_ARRAY_BUFFER, buffers[0]);
    glBufferData(GL_ARRAY_BUFFER, sizeof vertices, vertices, GL_STATIC_DRAW);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, buffers[1]);
    glBufferData(GL_ELEMENT_ARRAY_BUFFER, sizeof indices, indices, GL_STATIC_DRAW);
    glEnableClientState(GL_VERTEX_ARRAY);
    glVertexPointer(3, GL_FLOAT, 24, nullptr);
    glEnableClientState(GL_NORMAL_ARRAY);
    glNormalPointer(GL_FLOAT, 24, reinterpret_cast<const void*>(12));

    const GLuint program = glCreateProgram();
    glAttachShader(program, Compile(GL_VERTEX_SHADER, vertexText, "glsl/vertexShader.glsl"));
    glAttachShader(program, Compile(GL_FRAGMENT_SHADER, pixelText, "glsl/pixelShader.glsl"));
    glLinkProgram(program);
    GLint linked = 0;
    glGetProgramiv(program, GL_LINK_STATUS, &linked);
    if (!linked)
        throw std::runtime_error("the shader pair does not link");
    glUseProgram(program);
    const char* names[] = {"screen2World", "cameraPos", "totalTime"};
    for (const char* name : names)
        if (glGetUniformLocation(program, name) < 0)
            throw std::runtime_error(std::string("uniform not active: ") + name);

    const Mat4 screen2World = ScreenToWorld(options.eye);
    GLuint invocationQuery = 0;
    if (options.countInvocations)
    {
        if (!GLEW_ARB_pipeline_statistics_query)
            throw std::runtime_error("GL_ARB_pipeline_statistics_query is not available");
        glGenQueries(1, &invocationQuery);
    }
    const double cpuStart = CpuSeconds();
    const auto start = std::chrono::steady_clock::now();
    auto previous = start;
    float totalTime = 0.0f;
    long frames = 0;
    double elapsed = 0.0;
    bool open = true;
    while (open)
    {
        while (XPending(display))
        {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type == ClientMessage && static_cast<Atom>(event.xclient.data.l[0]) == deleteWindow)
                open = false;
        }
        const auto now = std::chrono::steady_clock::now();
        totalTime += std::chrono::duration<float>(now - previous).count();
        previous = now;
        // Uniforms are looked up by name every frame, as the viewer does.
        glUniformMatrix4fv(glGetUniformLocation(program, "screen2World"), 1, GL_TRUE, screen2World.m);
        glUniform3f(glGetUniformLocation(program, "cameraPos"), options.eye.x, options.eye.y, options.eye.z);
        glUniform1f(glGetUniformLocation(program, "totalTime"), options.fixedTime >= 0 ? float(options.fixedTime) : totalTime);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        if (invocationQuery)
            glBeginQuery(GL_FRAGMENT_SHADER_INVOCATIONS_ARB, invocationQuery);
        if (options.instances == 1)
            glDrawElements(GL_TRIANGLES, 6, GL_UNSIGNED_INT, nullptr);
        else
            glDrawElementsInstanced(GL_TRIANGLES, 6, GL_UNSIGNED_INT, nullptr, options.instances);
        if (invocationQuery)
            glEndQuery(GL_FRAGMENT_SHADER_INVOCATIONS_ARB);
        ++frames;
        elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        const bool last = (options.frames > 0 && frames >= options.frames) || (options.frames <= 0 && elapsed >= options.seconds);
        if (last && options.snapshot)
            WriteSnapshot(options.snapshot, options.width, options.height);
        glXSwapBuffers(display, window);
        if (last)
            break;
    }
    glFinish();
    elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("frames %ld seconds %.3f fps %.2f cpu_ms_per_frame %.1f samples %d GL %s\n", frames, elapsed, frames / elapsed,
                (CpuSeconds() - cpuStart) * 1000.0 / frames, samples, reinterpret_cast<const char*>(glGetString(GL_VERSION)));
    if (invocationQuery)
    {
        GLuint64 invocations = 0;
        glGetQueryObjectui64v(invocationQuery, GL_QUERY_RESULT, &invocations);
        std::printf("pixel_invocations %llu\n", static_cast<unsigned long long>(invocations));
        glDeleteQueries(1, &invocationQuery);
    }
    const GLenum error = glGetError();
    glXMakeContextCurrent(display, None, None, nullptr);
    glXDestroyContext(display, context);
    XDestroyWindow(display, window);
    // The display stays open until the process ends, as in the viewer: closing it unloads the GL
    // driver, and the memory the driver keeps until exit could then no longer be told apart
    // from a leak of this program.
    XSync(display, False);
    if (error != GL_NO_ERROR)
    {
        std::fprintf(stderr, "bare_glx: GL error 0x%x\n", error);
        return 1;
    }
    return 0;
}
} // namespace

int main(int argc, char** argv)
{
    try
    {
        return Run(argc, argv);
    }
    catch (const std::exception& e)
    {
        std::fprintf(stderr, "bare_glx: %s\n", e.what());
        return 1;
    }
}
