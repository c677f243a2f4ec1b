/* swapcount: an LD_PRELOAD library that counts and timestamps the frames a GLX program presents.
 *
 * It wraps glXSwapBuffers (and hands out the wrapper through glXGetProcAddress too), so the
 * viewer and the bare GLX program are measured the same way from outside, without any change to
 * either. Settings, all optional, come from the environment:
 *   SWAPCOUNT_LOG=FILE      one line per presented frame: "frame N NANOSECONDS [R G B]"; the
 *                           first line is "load NANOSECONDS" (when the library was loaded, right
 *                           after exec) and the last "end ..." (the summary below). Times are
 *                           CLOCK_REALTIME, so a script can compare them with `date +%s%N`.
 *   SWAPCOUNT_PROBE=X,Y     before each swap, read the back buffer's pixel at (X, Y) (origin
 *                           bottom-left) and log it, so a script can see when the picture changes.
 *   SWAPCOUNT_FRAMES=N      end the process right after its N-th presented frame.
 *   SWAPCOUNT_SECONDS=S     end the process at the first frame presented S seconds after the first.
 *   SWAPCOUNT_CALLGRIND=K,N under callgrind (--instr-atstart=no): start instrumenting after frame
 *                           K, dump the counts after frame K + N and end the process, so the dump
 *                           holds exactly N steady frames.
 * When the process ends (by these settings or normally) a summary goes to the log, or to stderr
 * without one: "end frames N seconds S fps F first_frame_ms M peak_rss_kb P rss_at_first_frame_kb Q"
 * "cpu_ms_per_frame C" where fps counts the frames after the first over the time since the first,
 * first_frame_ms is the time from loading to the first presented frame, and C is the CPU time of
 * all the process's threads per frame after the first (a figure that other load on the machine
 * does not change much, unlike fps).
 */
#define _GNU_SOURCE
#include <GL/gl.h>
#include <GL/glx.h>
#include <dlfcn.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/resource.h>
#include <time.h>
#include <unistd.h>
#if defined(__has_include)
#if __has_include(<valgrind/callgrind.h>)
#include <valgrind/callgrind.h>
#endif
#endif
#ifndef CALLGRIND_START_INSTRUMENTATION
/* Without valgrind's headers the callgrind setting does nothing but end the process. */
#define CALLGRIND_START_INSTRUMENTATION
#define CALLGRIND_DUMP_STATS_AT(name)
#endif

typedef void (*SwapFunction)(Display*, GLXDrawable);
typedef __GLXextFuncPtr (*ProcAddressFunction)(const GLubyte*);

static FILE* g_log;
static int g_probe = 0;
static int g_probeX, g_probeY;
static long g_exitAfterFrames = -1;
static double g_exitAfterSeconds = -1.0;
static long g_callgrindSkip = -1, g_callgrindCount = 0;
static long g_frames = 0;
static long long g_loadNs, g_firstNs, g_lastNs;
static long g_rssAtFirstFrameKb = 0;
static double g_cpuAtFirstFrame = 0.0;
static int g_finished = 0;

static long long NowNs(void)
{
    struct timespec now;
    clock_gettime(CLOCK_REALTIME, &now);
    return (long long)now.tv_sec * 1000000000LL + now.tv_nsec;
}

/* A "VmXxx:   1234 kB" field of /proc/self/status, in kB; 0 when it cannot be read. */
static long StatusKb(const char* field)
{
    char line[256];
    long value = 0;
    size_t length = strlen(field);
    FILE* status = fopen("/proc/self/status", "r");
    if (!status)
        return 0;
    while (fgets(line, sizeof line, status))
        if (strncmp(line, field, length) == 0 && line[length] == ':')
        {
            value = atol(line + length + 1);
            break;
        }
    fclose(status);
    return value;
}

/* CPU seconds used so far by every thread of the process (the renderer's threads included). */
static double CpuSeconds(void)
{
    struct rusage usage;
    getrusage(RUSAGE_SELF, &usage);
    return (double)usage.ru_utime.tv_sec + usage.ru_utime.tv_usec / 1e6 + (double)usage.ru_stime.tv_sec +
           usage.ru_stime.tv_usec / 1e6;
}

static void Finish(void)
{
    FILE* out = g_log ? g_log : stderr;
    double seconds = g_frames > 1 ? (double)(g_lastNs - g_firstNs) / 1e9 : 0.0;
    if (g_finished)
        return;
    g_finished = 1;
    fprintf(out,
            "end frames %ld seconds %.3f fps %.3f first_frame_ms %.1f peak_rss_kb %ld rss_at_first_frame_kb %ld "
            "cpu_ms_per_frame %.2f\n",
            g_frames, seconds, seconds > 0.0 ? (double)(g_frames - 1) / seconds : 0.0,
            g_frames > 0 ? (double)(g_firstNs - g_loadNs) / 1e6 : -1.0, StatusKb("VmHWM"), g_rssAtFirstFrameKb,
            g_frames > 1 ? (CpuSeconds() - g_cpuAtFirstFrame) * 1000.0 / (double)(g_frames - 1) : 0.0);
    fflush(out);
}

__attribute__((constructor)) static void Load(void)
{
    const char* value;
    g_loadNs = NowNs();
    /* The preload reaches child processes too (the shell scripts that start a program): only
       the first GLX program that presents a frame matters, and a log opened in append mode
       keeps the lines of every process in order. */
    if ((value = getenv("SWAPCOUNT_LOG")) && *value)
    {
        g_log = fopen(value, "a");
        if (g_log)
        {
            setvbuf(g_log, NULL, _IOLBF, 0);
            fprintf(g_log, "load %lld pid %d\n", g_loadNs, (int)getpid());
        }
        else
            fprintf(stderr, "swapcount: cannot open %s\n", value);
    }
    if ((value = getenv("SWAPCOUNT_PROBE")) && sscanf(value, "%d,%d", &g_probeX, &g_probeY) == 2)
        g_probe = 1;
    if ((value = getenv("SWAPCOUNT_FRAMES")) && *value)
        g_exitAfterFrames = atol(value);
    if ((value = getenv("SWAPCOUNT_SECONDS")) && *value)
        g_exitAfterSeconds = atof(value);
    if ((value = getenv("SWAPCOUNT_CALLGRIND")) && sscanf(value, "%ld,%ld", &g_callgrindSkip, &g_callgrindCount) != 2)
        g_callgrindSkip = -1;
}

__attribute__((destructor)) static void Unload(void)
{
    if (g_frames > 0)
        Finish();
}

static void EndProcess(void)
{
    Finish();
    _exit(0);
}

void glXSwapBuffers(Display* display, GLXDrawable drawable)
{
    static SwapFunction real;
    long long now;
    if (!real)
        real = (SwapFunction)dlsym(RTLD_NEXT, "glXSwapBuffers");
    if (g_probe)
    {
        /* The back buffer holds the frame about to be shown. */
        unsigned char pixel[4] = {0, 0, 0, 0};
        glReadPixels(g_probeX, g_probeY, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
        real(display, drawable);
        now = NowNs();
        if (g_log)
            fprintf(g_log, "frame %ld %lld %u %u %u\n", g_frames + 1, now, pixel[0], pixel[1], pixel[2]);
    }
    else
    {
        real(display, drawable);
        now = NowNs();
        if (g_log)
            fprintf(g_log, "frame %ld %lld\n", g_frames + 1, now);
    }
    if (++g_frames == 1)
    {
        g_firstNs = now;
        g_rssAtFirstFrameKb = StatusKb("VmHWM");
        g_cpuAtFirstFrame = CpuSeconds();
    }
    g_lastNs = now;

    if (g_callgrindSkip >= 0 && g_frames == g_callgrindSkip)
        CALLGRIND_START_INSTRUMENTATION;
    if (g_callgrindSkip >= 0 && g_frames == g_callgrindSkip + g_callgrindCount)
    {
        CALLGRIND_DUMP_STATS_AT("steady frames");
        EndProcess();
    }
    if (g_exitAfterFrames > 0 && g_frames >= g_exitAfterFrames)
        EndProcess();
    if (g_exitAfterSeconds > 0.0 && (double)(now - g_firstNs) / 1e9 >= g_exitAfterSeconds)
        EndProcess();
}

/* A program may fetch the swap entry point by name; hand it the counting one. */
__GLXextFuncPtr glXGetProcAddressARB(const GLubyte* name)
{
    static ProcAddressFunction real;
    if (strcmp((const char*)name, "glXSwapBuffers") == 0)
        return (__GLXextFuncPtr)glXSwapBuffers;
    if (!real)
        real = (ProcAddressFunction)dlsym(RTLD_NEXT, "glXGetProcAddressARB");
    return real ? real(name) : NULL;
}

__GLXextFuncPtr glXGetProcAddress(const GLubyte* name)
{
    return glXGetProcAddressARB(name);
}
