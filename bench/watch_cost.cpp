// What following the pixel shader's file costs the frame loop: the time of one frame's call when
// nothing happened to the file (the watch asked, never waiting), against the same loop without
// the call, and the time from news of a write to the decision (the file read once quiet and
// compared). Prints "idle_ns_per_frame N", "bare_ns_per_frame N" and "change_us N".
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>

#include "common/TextConversion.h"
#include "viewer/FileFollowing.h"

namespace {

double Seconds(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: watch_cost PIXEL_SHADER_FILE (a copy is written and rewritten)\n");
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    char folder[] = "/tmp/morvane-watch-cost-XXXXXX";
    if (!mkdtemp(folder)) {
        std::perror("mkdtemp");
        return 1;
    }
    const std::string path = std::string(folder) + "/pixelShader.glsl";
    std::ofstream(path, std::ios::binary) << text;
    {
        Morvane::FileFollowing following(Common::Utf8ToWide(path), text);
        if (!following.StandingNotice().empty()) {
            std::fprintf(stderr, "the watch did not start\n");
            return 1;
        }
        const int frames = 2000000;
        volatile int sink = 0;
        auto start = std::chrono::steady_clock::now();
        for (int i = 0; i < frames; ++i) {
            sink = sink + static_cast<int>(following.Follow(0.016f, text));
        }
        const double idle = Seconds(start);
        start = std::chrono::steady_clock::now();
        for (int i = 0; i < frames; ++i) {
            sink = sink + i;
        }
        const double bare = Seconds(start);
        // A change: the same text written again by another program, so that the decision reads
        // and compares the whole file but nothing is reloaded.
        const int changes = 300;
        double changeSeconds = 0.0;
        for (int i = 0; i < changes; ++i) {
            std::ofstream(path, std::ios::binary) << text;
            start = std::chrono::steady_clock::now();
            following.Follow(0.016f, text);                                // the news
            following.Follow(Morvane::DiskChanges::kQuietSeconds, text);  // quiet: read and compared
            changeSeconds += Seconds(start);
        }
        std::printf("idle_ns_per_frame %.1f\nbare_ns_per_frame %.1f\nchange_us %.1f\n", idle / frames * 1e9,
                    bare / frames * 1e9, changeSeconds / changes * 1e6);
    }
    unlink(path.c_str());
    rmdir(folder);
    return 0;
}
