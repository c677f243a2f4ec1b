// What the fuzz targets share: a check that stops the run with a message when a property of the
// code under test does not hold (libFuzzer then keeps the input that broke it), and a scratch
// folder of the process's own for the targets that read real files.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>

#include <unistd.h>

namespace Fuzz {

// Stops the run when `holds` is false: an abort is a crash to libFuzzer, which writes the input.
inline void Check(bool holds, const char* what)
{
    if (!holds) {
        std::fprintf(stderr, "Property broken: %s\n", what);
        std::abort();
    }
}

// A folder made once per process under TMPDIR (or /tmp), ending in a slash.
inline const std::string& ScratchFolder()
{
    static const std::string folder = [] {
        const char* base = std::getenv("TMPDIR");
        std::string pattern = std::string(base && *base ? base : "/tmp") + "/morvane-fuzz-XXXXXX";
        Check(mkdtemp(&pattern[0]) != nullptr, "the scratch folder can be made");
        return pattern + "/";
    }();
    return folder;
}

// Writes `bytes` as the whole file at `path`.
inline void WriteBytes(const std::string& path, const std::string& bytes)
{
    FILE* file = std::fopen(path.c_str(), "wb");
    Check(file != nullptr, "the scratch file can be opened");
    Check(std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size(), "the scratch file can be written");
    Check(std::fclose(file) == 0, "the scratch file can be closed");
}

// The whole file at `path`.
inline std::string ReadBytes(const std::string& path)
{
    std::string bytes;
    FILE* file = std::fopen(path.c_str(), "rb");
    Check(file != nullptr, "the scratch file can be opened for reading");
    char chunk[4096];
    size_t count = 0;
    while ((count = std::fread(chunk, 1, sizeof chunk, file)) > 0) {
        bytes.append(chunk, count);
    }
    std::fclose(file);
    return bytes;
}

}  // namespace Fuzz
