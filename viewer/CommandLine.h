// The program's command line: viewing a scene (the current folder's, or one named), rendering a
// scene to image files or a film, or asking for the usage or the version. Parsing only: nothing
// here touches a file.
#pragma once

#include <string>
#include <vector>

namespace Morvane {

// What a render writes: one PNG still, a numbered sequence of PNG files (a name with one %d-style
// number), or a film made by the ffmpeg program.
enum class OutputKind { Still, Sequence, Film };

struct RenderOptions {
    std::wstring output;
    OutputKind kind = OutputKind::Still;
    unsigned width = 800;
    unsigned height = 600;
    // The still's animation time in seconds.
    double time = 0.0;
    // The frames of a sequence or a film, both included.
    unsigned first = 0;
    unsigned last = 0;
    double fps = 60.0;
};

enum class Action { View, Render, Help, Version };

struct CommandLine {
    Action action = Action::View;
    // The scene as named (a folder holding glsl/, a folder holding pixelShader.glsl, or a pixel
    // shader file); empty for the current folder.
    std::wstring scene;
    RenderOptions render;
};

// Wrong use of the command line: one sentence saying what is wrong and what would be right.
class UsageError {
public:
    explicit UsageError(const std::wstring& sentence) : m_sentence(sentence) {}
    const std::wstring& Sentence() const { return m_sentence; }

private:
    std::wstring m_sentence;
};

// The largest width or height a render may ask for.
const unsigned kLargestRenderSide = 16384;

// Reads the arguments after the program's name. Options may stand before or after the scene,
// as "--size 640x480" or "--size=640x480"; "--" ends the options. Throws UsageError.
CommandLine ParseCommandLine(const std::vector<std::wstring>& arguments);

// The file of frame `frame` in a sequence named by `pattern` (one %d-style number, %% for a plain
// percent sign, as the command line accepts): "f%05d.png" and 42 give "f00042.png".
std::wstring FrameFileName(const std::wstring& pattern, unsigned frame);

// The usage, as --help prints it.
std::wstring UsageText();

}  // namespace Morvane
