// Where rendered frames go: one PNG still, a numbered sequence of PNG files, or a film made by
// the ffmpeg program from frames fed to it on a pipe. Nothing is left under an output's name
// until it is complete: each PNG is written under a temporary name and renamed, and a film is
// renamed once ffmpeg has finished it.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/ChildProgram.h"
#include "viewer/CommandLine.h"

namespace Morvane {

class FrameOutput {
public:
    // For a film, starts the ffmpeg program at `ffmpeg` writing to a temporary file beside the
    // output. Throws Common::Exception when it cannot be started.
    FrameOutput(const RenderOptions& options, const std::wstring& ffmpeg);
    // A film that was not finished leaves nothing behind.
    ~FrameOutput();
    FrameOutput(const FrameOutput&) = delete;
    FrameOutput& operator=(const FrameOutput&) = delete;

    // Writes frame `frame`: RGBA pixels of the render's size, rows from the bottom up. Throws
    // Common::Exception when it cannot be written.
    void Write(uint32_t frame, const std::vector<uint8_t>& pixels);
    // Completes the output: the film is finished by ffmpeg and takes its name.
    void Finish();

    // The arguments ffmpeg is given to make `film` (any name) from raw frames on its standard
    // input.
    static std::vector<std::wstring> FilmArguments(const RenderOptions& options, const std::wstring& film);

private:
    RenderOptions m_options;
    std::wstring m_temporaryFilm;
    std::unique_ptr<Platform::ProgramInput> m_ffmpeg;
};

}  // namespace Morvane
