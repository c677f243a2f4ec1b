// Running another program (the ffmpeg program that makes films) with its standard input fed from
// ours: found on the PATH, started with its arguments, its output and errors going where ours go.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

namespace Platform {

class ProgramInput {
public:
    virtual ~ProgramInput() = default;
    // Writes all of `bytes` to the program's standard input; false once the program stopped
    // reading it (it ended, or it failed).
    virtual bool Write(const void* bytes, std::size_t size) = 0;
    // Closes the program's standard input and waits for it to end: its exit status, or -1 when
    // it was ended by a signal or could not be waited for.
    virtual int Finish() = 0;
};

// The program of that name on the PATH (with ".exe" on Windows), or empty when there is none.
std::wstring FindProgram(const std::wstring& name);

// Starts the program at `path` with `arguments`. Null when it could not be started, with `reason`
// saying why in one sentence.
std::unique_ptr<ProgramInput> StartProgramWithInput(const std::wstring& path, const std::vector<std::wstring>& arguments,
                                                    std::wstring& reason);

}  // namespace Platform
