// The frame-counting preload library and the bare GLX program that the benchmarks run: frames
// are counted and timestamped one by one, the process is ended when asked, the probe reads the
// picture that is presented, and the bare program refuses shaders the viewer would refuse.
#include "BenchProcess.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

using namespace BenchTest;

namespace
{
const std::string kVertexText = ReadWholeFile(MORVANE_SOURCE_DIR "/glsl/vertexShader.glsl");

// A constant colour (51, 102, 153) that still uses the three uniforms, as the benchmarks draw it.
const std::string kConstantPixelText = ReadWholeFile(MORVANE_SOURCE_DIR "/bench/trivialPixelShader.glsl");

struct LogLine
{
    std::string kind;
    std::vector<std::string> fields;
};

std::vector<LogLine> ReadLog(const std::string& path)
{
    std::vector<LogLine> lines;
    std::istringstream text(ReadWholeFile(path));
    std::string line;
    while (std::getline(text, line))
    {
        std::istringstream words(line);
        LogLine entry;
        words >> entry.kind;
        for (std::string word; words >> word;)
            entry.fields.push_back(word);
        lines.push_back(entry);
    }
    return lines;
}

std::vector<LogLine> Frames(const std::vector<LogLine>& lines)
{
    std::vector<LogLine> frames;
    for (const auto& line : lines)
        if (line.kind == "frame")
            frames.push_back(line);
    return frames;
}

// The value that follows `key` in an "end ..." line.
std::string EndField(const std::vector<LogLine>& lines, const std::string& key)
{
    for (const auto& line : lines)
        if (line.kind == "end")
            for (size_t i = 0; i + 1 < line.fields.size(); ++i)
                if (line.fields[i] == key)
                    return line.fields[i + 1];
    return "";
}

// Runs the bare program with the preload library and the given settings; the log lands in the
// folder as swap.log. ASan's check that its runtime comes first is off: the preload does.
ProcessResult RunCounted(const ShaderFolder& folder, std::vector<std::string> arguments,
                         std::vector<std::pair<std::string, std::string>> settings)
{
    arguments.insert(arguments.begin(), BENCH_BARE_GLX);
    settings.push_back({"LD_PRELOAD", BENCH_SWAPCOUNT});
    settings.push_back({"SWAPCOUNT_LOG", folder.File("swap.log")});
    settings.push_back({"ASAN_OPTIONS", "verify_asan_link_order=0:detect_leaks=1"});
    return RunProcess(arguments, folder.Path(), settings, 120);
}
} // namespace

TEST(Swapcount, CountsAndTimestampsEveryPresentedFrame)
{
    ShaderFolder folder(kVertexText, kConstantPixelText);
    const ProcessResult run = RunCounted(folder, {"--frames", "12"}, {});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out.rfind("frames 12 ", 0), 0u) << run.out;

    const auto lines = ReadLog(folder.File("swap.log"));
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.front().kind, "load");
    const auto frames = Frames(lines);
    ASSERT_EQ(frames.size(), 12u);
    long long previous = std::stoll(lines.front().fields.at(0));
    for (size_t i = 0; i < frames.size(); ++i)
    {
        EXPECT_EQ(frames[i].fields.at(0), std::to_string(i + 1));
        const long long time = std::stoll(frames[i].fields.at(1));
        EXPECT_GT(time, previous) << "frame " << i + 1;
        previous = time;
    }
    EXPECT_EQ(lines.back().kind, "end");
    EXPECT_EQ(EndField(lines, "frames"), "12");
    EXPECT_GT(std::stol(EndField(lines, "peak_rss_kb")), 1000);
}

TEST(Swapcount, EndsTheProcessAfterTheFramesAsked)
{
    // The bare program would draw 100000 frames; the library ends it after the third, before
    // the program prints its own summary.
    ShaderFolder folder(kVertexText, kConstantPixelText);
    const ProcessResult run = RunCounted(folder, {"--frames", "100000"}, {{"SWAPCOUNT_FRAMES", "3"}});
    EXPECT_FALSE(run.timedOut);
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, "");
    const auto lines = ReadLog(folder.File("swap.log"));
    EXPECT_EQ(Frames(lines).size(), 3u);
    EXPECT_EQ(EndField(lines, "frames"), "3");
}

TEST(Swapcount, EndsTheProcessAfterTheSecondsAsked)
{
    ShaderFolder folder(kVertexText, kConstantPixelText);
    const ProcessResult run = RunCounted(folder, {"--seconds", "100000"}, {{"SWAPCOUNT_SECONDS", "1"}});
    EXPECT_FALSE(run.timedOut);
    EXPECT_EQ(run.exitCode, 0) << run.err;
    const auto frames = Frames(ReadLog(folder.File("swap.log")));
    ASSERT_GE(frames.size(), 2u);
    const double span = double(std::stoll(frames.back().fields.at(1)) - std::stoll(frames.front().fields.at(1))) / 1e9;
    EXPECT_GE(span, 1.0);
}

TEST(Swapcount, ProbeReadsThePresentedPicture)
{
    ShaderFolder folder(kVertexText, kConstantPixelText);
    const ProcessResult run =
        RunCounted(folder, {"--frames", "4", "--snapshot", folder.File("last.ppm")}, {{"SWAPCOUNT_PROBE", "795,5"}});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const auto frames = Frames(ReadLog(folder.File("swap.log")));
    ASSERT_EQ(frames.size(), 4u);
    const Picture last = ReadPpm(folder.File("last.ppm"));
    const unsigned char* pixel = last.At(795, 5);
    for (const auto& frame : frames)
    {
        ASSERT_EQ(frame.fields.size(), 5u);
        EXPECT_EQ(frame.fields[2], std::to_string(pixel[0]));
        EXPECT_EQ(frame.fields[3], std::to_string(pixel[1]));
        EXPECT_EQ(frame.fields[4], std::to_string(pixel[2]));
    }
    EXPECT_EQ(frames.back().fields[2] + " " + frames.back().fields[3] + " " + frames.back().fields[4], "51 102 153");
}

TEST(BareGlx, RefusesShadersTheViewerWouldRefuse)
{
    // A pixel stage that leaves totalTime unused: the compiler drops it, so it cannot be set.
    std::string unused = kConstantPixelText;
    unused.replace(unused.find(" + totalTime"), 12, "");
    ShaderFolder withoutTime(kVertexText, unused);
    ProcessResult run = RunProcess({BENCH_BARE_GLX, "--frames", "1"}, withoutTime.Path(), {}, 120);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find("uniform not active: totalTime"), std::string::npos) << run.err;

    // A syntax error: the compiler's log is shown.
    ShaderFolder broken(kVertexText, "#version 120\nvoid main() { gl_FragColor = vec4(1.0) }\n");
    run = RunProcess({BENCH_BARE_GLX, "--frames", "1"}, broken.Path(), {}, 120);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find("glsl/pixelShader.glsl does not compile"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("error"), std::string::npos) << run.err;
}
