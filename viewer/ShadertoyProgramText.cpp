// Wrapping a Shadertoy text for the driver's shading language, and reading that language's version.
#include "viewer/ShadertoyProgramText.h"

namespace Morvane {
namespace {

const char kInputs[] =
    "uniform vec3 iResolution;\n"
    "uniform float iTime;\n"
    "uniform float iTimeDelta;\n"
    "uniform float iFrameRate;\n"
    "uniform int iFrame;\n"
    "uniform vec4 iMouse;\n"
    "uniform vec4 iDate;\n"
    "uniform float iSampleRate;\n"
    "uniform float iChannelTime[4];\n"
    "uniform vec3 iChannelResolution[4];\n"
    "uniform sampler2D iChannel0;\n"
    "uniform sampler2D iChannel1;\n"
    "uniform sampler2D iChannel2;\n"
    "uniform sampler2D iChannel3;\n"
    "uniform mat4 screen2World;\n"
    "uniform vec3 cameraPos;\n"
    "uniform float totalTime;\n"
    "#define HW_PERFORMANCE 1\n"
    "#define iGlobalTime iTime\n";

// The main that runs the text: declared here, before the text, it calls mainImage through a
// declaration, so that nothing of its own follows the text. A render drawn in tiles moves each
// tile's pixels to their place in the whole picture (0 otherwise: the window never sets it).
const char kMain[] =
    "uniform vec2 morvaneFragCoordOffset;\n"
    "void mainImage(out vec4 fragColor, in vec2 fragCoord);\n"
    "void main()\n"
    "{\n"
    "    vec4 colour = vec4(0.0, 0.0, 0.0, 1.0);\n"
    "    mainImage(colour, gl_FragCoord.xy + morvaneFragCoordOffset);\n"
    "    morvaneFragmentColour = vec4(colour.rgb, 1.0);\n"
    "}\n";

// The directive after which the compiler counts the next line as line 1: `#line N` numbers that
// line N + 1 before 3.30, and N from 3.30 on.
std::string FirstLineDirective(int version)
{
    return version >= 330 ? "#line 1\n" : "#line 0\n";
}

}  // namespace

int ShadingLanguageVersion(const std::string& versionText)
{
    size_t at = versionText.find_first_of("0123456789");
    if (at == std::string::npos) {
        return 0;
    }
    int major = 0;
    while (at < versionText.size() && versionText[at] >= '0' && versionText[at] <= '9' && major < 100) {
        major = major * 10 + (versionText[at++] - '0');
    }
    if (at >= versionText.size() || versionText[at] != '.') {
        return 0;
    }
    ++at;
    int minor = 0;
    int digits = 0;
    while (at < versionText.size() && versionText[at] >= '0' && versionText[at] <= '9' && digits < 2) {
        minor = minor * 10 + (versionText[at++] - '0');
        ++digits;
    }
    if (digits == 0) {
        return 0;
    }
    if (digits == 1) {
        minor *= 10;  // "1.2" is 1.20
    }
    return major * 100 + minor;
}

std::string ShadertoyProgramText(const std::string& text, int version)
{
    const bool modern = version >= 330;
    std::string program = modern ? "#version 330\n" : "#version 130\n";
    program += kInputs;
    if (modern) {
        program += "#define texture2D texture\n";
    }
    program += "out vec4 morvaneFragmentColour;\n";
    program += kMain;
    program += FirstLineDirective(version);
    program += text;
    return program;
}

}  // namespace Morvane
