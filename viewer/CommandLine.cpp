// Parsing and checking the command line's options, values and their combinations.
#include "CommandLine.h"

#include <cmath>
#include <cwctype>
#include <locale>
#include <sstream>

namespace Morvane {
namespace {

bool EndsWith(const std::wstring& text, const std::wstring& end)
{
    if (text.size() < end.size()) {
        return false;
    }
    for (size_t i = 0; i < end.size(); ++i) {
        if (static_cast<wchar_t>(std::towlower(static_cast<wint_t>(text[text.size() - end.size() + i]))) != end[i]) {
            return false;
        }
    }
    return true;
}

// How many printf-style numbers ("%d", "%05d") the name holds; "%%" is a plain percent sign. -1
// when it holds any other conversion.
int NumberConversions(const std::wstring& name)
{
    int count = 0;
    for (size_t i = 0; i < name.size(); ++i) {
        if (name[i] != L'%') {
            continue;
        }
        size_t j = i + 1;
        if (j < name.size() && name[j] == L'%') {
            i = j;
            continue;
        }
        while (j < name.size() && name[j] >= L'0' && name[j] <= L'9') {
            ++j;
        }
        if (j >= name.size() || name[j] != L'd' || j - i > 3) {
            return -1;
        }
        ++count;
        i = j;
    }
    return count;
}

// A whole decimal number in the classic notation whatever the locale; false for anything else.
bool ReadNumber(const std::wstring& text, double& value)
{
    if (text.empty() || text[0] == L' ' || text[0] == L'\t') {
        return false;
    }
    std::wistringstream stream(text);
    stream.imbue(std::locale::classic());
    stream >> value;
    return !stream.fail() && stream.eof() && std::isfinite(value);
}

bool ReadCount(const std::wstring& text, unsigned long limit, unsigned& value)
{
    if (text.empty() || text.size() > 9) {
        return false;
    }
    unsigned long number = 0;
    for (wchar_t c : text) {
        if (c < L'0' || c > L'9') {
            return false;
        }
        number = number * 10 + static_cast<unsigned long>(c - L'0');
    }
    if (number > limit) {
        return false;
    }
    value = static_cast<unsigned>(number);
    return true;
}

void ReadSize(const std::wstring& text, RenderOptions& render)
{
    const size_t x = text.find_first_of(L"xX");
    if (x == std::wstring::npos || !ReadCount(text.substr(0, x), kLargestRenderSide, render.width) ||
        !ReadCount(text.substr(x + 1), kLargestRenderSide, render.height) || render.width == 0 ||
        render.height == 0) {
        throw UsageError(L"--size " + text + L" is not a size: give the width and height in pixels, from 1 to " +
                         std::to_wstring(kLargestRenderSide) + L", as --size 1920x1080.");
    }
}

void ReadFrames(const std::wstring& text, RenderOptions& render)
{
    const size_t dash = text.find(L'-');
    if (dash == std::wstring::npos || !ReadCount(text.substr(0, dash), 999999999, render.first) ||
        !ReadCount(text.substr(dash + 1), 999999999, render.last) || render.first > render.last) {
        throw UsageError(L"--frames " + text +
                         L" is not a range of frames: give the first and the last frame, counted from 0, as "
                         L"--frames 0-239.");
    }
}

void ReadTime(const std::wstring& text, RenderOptions& render)
{
    if (!ReadNumber(text, render.time) || render.time < 0.0) {
        throw UsageError(L"--time " + text + L" is not a time: give the seconds from the start, as --time 2.5.");
    }
}

void ReadFps(const std::wstring& text, RenderOptions& render)
{
    if (!ReadNumber(text, render.fps) || render.fps <= 0.0 || render.fps > 1000.0) {
        throw UsageError(L"--fps " + text + L" is not a frame rate: give frames per second above 0, as --fps 30.");
    }
}

// Which kind of output the name asks for, from its ending and its number.
OutputKind KindOf(const std::wstring& output)
{
    const int numbers = NumberConversions(output);
    const bool film = EndsWith(output, L".mp4") || EndsWith(output, L".webm") || EndsWith(output, L".mkv");
    if (film && numbers == 0) {
        return OutputKind::Film;
    }
    if (EndsWith(output, L".png") && numbers == 1) {
        return OutputKind::Sequence;
    }
    if (EndsWith(output, L".png") && numbers == 0) {
        return OutputKind::Still;
    }
    throw UsageError(L"--render " + output +
                     L" names no output Morvane can write: give a .png file for a still, a .png name with one "
                     L"number such as frames/f%05d.png for a sequence, or a .mp4, .webm or .mkv file for a film.");
}

// The options a render takes, checked against each other once all are read.
void CheckRender(const CommandLine& line, bool hasTime, bool hasFrames)
{
    const RenderOptions& render = line.render;
    if (render.kind == OutputKind::Still && hasFrames) {
        throw UsageError(L"--frames needs a sequence or a film, and " + render.output +
                         L" is a single still: name the files with a number (frames/f%05d.png) or a film "
                         L"(.mp4), or give --time for the still.");
    }
    if (render.kind != OutputKind::Still && hasTime) {
        throw UsageError(L"--time is for a single still, and " + render.output +
                         L" takes many frames: give --frames FIRST-LAST instead.");
    }
    if (render.kind != OutputKind::Still && !hasFrames) {
        throw UsageError(L"Say which frames " + render.output + L" should hold, as --frames 0-239.");
    }
}

}  // namespace

CommandLine ParseCommandLine(const std::vector<std::wstring>& arguments)
{
    CommandLine line;
    // Asking for help is never wrong, whatever else was given.
    for (const std::wstring& argument : arguments) {
        if (argument == L"--") break;
        if (argument == L"--help") {
            line.action = Action::Help;
            return line;
        }
    }
    bool hasRender = false, hasSize = false, hasTime = false, hasFrames = false, hasFps = false;
    bool optionsEnded = false;
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::wstring& argument = arguments[i];
        if (optionsEnded || argument.empty() || argument[0] != L'-' || argument == L"-") {
            if (!line.scene.empty()) {
                throw UsageError(L"Name one scene only: both " + line.scene + L" and " + argument + L" were given.");
            }
            line.scene = argument;
            continue;
        }
        if (argument == L"--") {
            optionsEnded = true;
            continue;
        }
        if (argument == L"--version") {
            line.action = Action::Version;
            continue;
        }
        const size_t equals = argument.find(L'=');
        const std::wstring name = argument.substr(0, equals);
        bool* seen = name == L"--render" ? &hasRender
                   : name == L"--size"   ? &hasSize
                   : name == L"--time"   ? &hasTime
                   : name == L"--frames" ? &hasFrames
                   : name == L"--fps"    ? &hasFps
                                         : nullptr;
        if (!seen) {
            throw UsageError(L"There is no option " + name + L": the options are --render, --size, --time, --frames, "
                             L"--fps, --help and --version.");
        }
        if (*seen) {
            throw UsageError(name + L" was given twice: give it once.");
        }
        *seen = true;
        std::wstring value;
        if (equals != std::wstring::npos) {
            value = argument.substr(equals + 1);
        } else if (i + 1 < arguments.size()) {
            value = arguments[++i];
        } else {
            throw UsageError(name + L" needs a value after it, as in the usage below.");
        }
        if (name == L"--render") {
            if (value.empty()) throw UsageError(L"--render needs the name of the file to write.");
            line.render.output = value;
        } else if (name == L"--size") {
            ReadSize(value, line.render);
        } else if (name == L"--time") {
            ReadTime(value, line.render);
        } else if (name == L"--frames") {
            ReadFrames(value, line.render);
        } else {
            ReadFps(value, line.render);
        }
    }
    if (line.action == Action::Version) {
        return line;
    }
    if (!hasRender) {
        const wchar_t* option = hasSize ? L"--size" : hasTime ? L"--time" : hasFrames ? L"--frames" : hasFps ? L"--fps" : nullptr;
        if (option) {
            throw UsageError(std::wstring(option) + L" applies to a render only: add --render OUT, or leave it out to "
                             L"open the scene in the window.");
        }
        return line;
    }
    line.action = Action::Render;
    line.render.kind = KindOf(line.render.output);
    CheckRender(line, hasTime, hasFrames);
    return line;
}

std::wstring FrameFileName(const std::wstring& pattern, unsigned frame)
{
    std::wstring name;
    for (size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] != L'%') {
            name += pattern[i];
            continue;
        }
        if (i + 1 < pattern.size() && pattern[i + 1] == L'%') {
            name += L'%';
            ++i;
            continue;
        }
        size_t j = i + 1;
        size_t width = 0;
        // As printf pads: with zeros after "%0", with spaces otherwise.
        const wchar_t pad = j < pattern.size() && pattern[j] == L'0' ? L'0' : L' ';
        while (j < pattern.size() && pattern[j] >= L'0' && pattern[j] <= L'9') {
            width = width * 10 + static_cast<size_t>(pattern[j] - L'0');
            ++j;
        }
        const std::wstring number = std::to_wstring(frame);
        name += std::wstring(width > number.size() ? width - number.size() : 0, pad) + number;
        i = j;  // the 'd'
    }
    return name;
}

std::wstring UsageText()
{
    return L"Usage:\n"
           L"  morvane [SCENE]\n"
           L"  morvane --render OUT [--size WxH] [--time SECONDS | --frames FIRST-LAST [--fps N]] [SCENE]\n"
           L"  morvane --help | --version\n"
           L"\n"
           L"SCENE is a folder holding glsl/pixelShader.glsl, a folder holding pixelShader.glsl, or a pixel\n"
           L"shader file; without it, the scene is the current folder's glsl/ files.\n"
           L"\n"
           L"  --render OUT   render to files and end instead of opening the windows:\n"
           L"                 OUT.png is one still; a .png name with one number (frames/f%05d.png)\n"
           L"                 is a sequence, frame i in file i; OUT.mp4, .webm or .mkv is a film\n"
           L"                 made by the ffmpeg program\n"
           L"  --size WxH     the picture's size in pixels, up to 16384x16384 (default 800x600)\n"
           L"  --time SECONDS the still's animation time (default 0)\n"
           L"  --frames A-B   the frames of a sequence or a film, both included; frame i is drawn\n"
           L"                 at time i / fps\n"
           L"  --fps N        frames per second of a sequence or a film (default 60)\n"
           L"  --help         print this and end\n"
           L"  --version      print the version and end\n";
}

}  // namespace Morvane
