// Fuzz target: telling a text in Shadertoy's form from the viewer's own, wrapping it for the
// driver, and the shading-language version that decides the wrapping. What the detection says
// must not change when a comment that defines `main` is added after the text; the wrapped program
// must end with the text itself, right after the line directive that keeps its line numbers; and
// a version the input writes as "M.mm" must be read as such.
#include <cstdint>
#include <string>

#include "FuzzCheck.h"
#include "viewer/ShadertoyProgramText.h"
#include "viewer/ShadertoyText.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    const bool shadertoy = Morvane::IsShadertoyText(text);
    Fuzz::Check(Morvane::IsShadertoyText(text + "\n/* void main() {} */\n") == shadertoy,
                "a comment after the text changes nothing");
    Fuzz::Check(Morvane::IsShadertoyText(text + "\n// void main() {}\n") == shadertoy,
                "a line comment after the text changes nothing");

    const int version = Morvane::ShadingLanguageVersion(text);
    Fuzz::Check(version >= 0 && version <= 99999, "a version is 0 or major * 100 + minor");

    for (int language : {Morvane::kOldestShadertoyLanguage, 330, 460}) {
        const std::string program = Morvane::ShadertoyProgramText(text, language);
        Fuzz::Check(program.size() > text.size() && program.compare(program.size() - text.size(), text.size(), text) == 0,
                    "the program ends with the text");
        const std::string directive = language >= 330 ? "#line 1\n" : "#line 0\n";
        const std::string before = program.substr(0, program.size() - text.size());
        Fuzz::Check(before.size() >= directive.size() &&
                        before.compare(before.size() - directive.size(), directive.size(), directive) == 0,
                    "the line directive stands right before the text");
        Fuzz::Check(program.compare(0, 13, language >= 330 ? "#version 330\n" : "#version 130\n") == 0,
                    "the program starts with its version");
    }

    // A version written by the input's first bytes, after a driver's words.
    if (size >= 2) {
        const int major = 1 + data[0] % 9;
        const int minor = data[1] % 100;
        const std::string written = "OpenGL ES GLSL " + std::to_string(major) + "." + (minor < 10 ? "0" : "") +
                                    std::to_string(minor) + " " + text.substr(2);
        Fuzz::Check(Morvane::ShadingLanguageVersion(written) == major * 100 + minor, "a written version is read");
    }
    return 0;
}
