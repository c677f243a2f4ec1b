// Runs the benchmark tools as real child processes for the tests: in a folder of their own that
// holds a glsl/ shader pair, with extra environment settings, capturing standard output and error.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace BenchTest
{
struct ProcessResult
{
    int exitCode = -1;     // the exit status, or -1 when the process did not exit normally
    bool timedOut = false; // killed after the time limit
    std::string out;       // standard output
    std::string err;       // standard error
};

// Runs `arguments` (the program first) in `folder` with `environment` added, and waits at most
// `limitSeconds` for it to end; a process still running then is killed and marked timed out.
ProcessResult RunProcess(const std::vector<std::string>& arguments, const std::string& folder,
                         const std::vector<std::pair<std::string, std::string>>& environment, int limitSeconds);

// A fresh folder under the system's temporary folder holding glsl/vertexShader.glsl and
// glsl/pixelShader.glsl with the given texts; removed by the destructor.
class ShaderFolder
{
public:
    ShaderFolder(const std::string& vertexText, const std::string& pixelText);
    ~ShaderFolder();
    ShaderFolder(const ShaderFolder&) = delete;
    ShaderFolder& operator=(const ShaderFolder&) = delete;
    const std::string& Path() const { return m_path; }
    std::string File(const std::string& name) const { return m_path + "/" + name; }

private:
    std::string m_path;
};

std::string ReadWholeFile(const std::string& path);

// A binary PPM picture as bench/bare_glx writes it: rows from the top, RGB bytes.
struct Picture
{
    int width = 0;
    int height = 0;
    std::vector<unsigned char> rgb;
    // The pixel at (x, y) with y counted from the BOTTOM, as gl_FragCoord counts it.
    const unsigned char* At(int x, int y) const { return &rgb[((height - 1 - y) * width + x) * 3]; }
};

Picture ReadPpm(const std::string& path);
} // namespace BenchTest
