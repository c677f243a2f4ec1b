/* A stand-in for a file system that knows neither renameat2's flags nor (with
 * MORVANE_REFUSE_LINK set) hard links, as some network and FUSE file systems do: preloaded by the
 * move tests, it refuses renameat2 with flags (EINVAL) and then link() (EPERM). Everything else
 * goes to the C library. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <errno.h>
#include <stdio.h>
#include <stdlib.h>
#include <unistd.h>

/* Found by the tests to make sure the stand-in is in place. */
int MorvaneRenameLimitsLoaded = 1;

typedef int (*RenameatFunction)(int, const char*, int, const char*, unsigned int);
typedef int (*LinkFunction)(const char*, const char*);

int renameat2(int fromFolder, const char* from, int toFolder, const char* to, unsigned int flags)
{
    if (flags != 0) {
        errno = EINVAL;
        return -1;
    }
    RenameatFunction real = (RenameatFunction)dlsym(RTLD_NEXT, "renameat2");
    return real(fromFolder, from, toFolder, to, flags);
}

int link(const char* from, const char* to)
{
    const char* refuse = getenv("MORVANE_REFUSE_LINK");
    if (refuse && *refuse) {
        errno = EPERM;
        return -1;
    }
    LinkFunction real = (LinkFunction)dlsym(RTLD_NEXT, "link");
    return real(from, to);
}
