// Fuzz target: the command line. The input's bytes, split at each NUL byte, are the arguments
// (as UTF-8). Every command line must either be refused with one sentence or give options within
// their bounds; a sequence's file names must be made for any frame without a number sign left.
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "FuzzCheck.h"
#include "common/Exception.h"
#include "common/TextConversion.h"
#include "viewer/CommandLine.h"

namespace {

std::wstring Wide(const std::string& bytes)
{
    return bytes.empty() ? std::wstring() : Common::Utf8ToWide(bytes);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::vector<std::wstring> arguments;
    std::string argument;
    for (size_t i = 0; i < size; ++i) {
        if (data[i] == 0) {
            arguments.push_back(Wide(argument));
            argument.clear();
        } else {
            argument += static_cast<char>(data[i]);
        }
    }
    if (size > 0) {
        arguments.push_back(Wide(argument));
    }

    Morvane::CommandLine line;
    try {
        line = Morvane::ParseCommandLine(arguments);
    } catch (const Morvane::UsageError& error) {
        const std::wstring& sentence = error.Sentence();
        Fuzz::Check(!sentence.empty() && sentence.back() == L'.', "a refusal is one sentence");
        return 0;
    }
    if (line.action != Morvane::Action::Render) {
        return 0;
    }
    const Morvane::RenderOptions& render = line.render;
    Fuzz::Check(!render.output.empty(), "a render names its output");
    Fuzz::Check(render.width >= 1 && render.width <= Morvane::kLargestRenderSide && render.height >= 1 &&
                    render.height <= Morvane::kLargestRenderSide,
                "a render's size is within bounds");
    Fuzz::Check(std::isfinite(render.time) && render.time >= 0.0, "a still's time is a time");
    Fuzz::Check(std::isfinite(render.fps) && render.fps > 0.0 && render.fps <= 1000.0, "a frame rate is in bounds");
    if (render.kind == Morvane::OutputKind::Still) {
        return 0;
    }
    Fuzz::Check(render.first <= render.last, "a range of frames runs forwards");
    if (render.kind == Morvane::OutputKind::Sequence) {
        for (unsigned frame : {render.first, render.last, 0u, 4294967295u}) {
            const std::wstring name = Morvane::FrameFileName(render.output, frame);
            Fuzz::Check(name.size() <= render.output.size() + 110, "a frame's file name is as long as its pattern");
            Fuzz::Check(name.find(std::to_wstring(frame)) != std::wstring::npos, "a frame's file name holds its number");
        }
    }
    return 0;
}
