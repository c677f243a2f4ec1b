// What is compiled for a text in Shadertoy's form: the inputs and a `main` that calls its
// `mainImage`, all before it, and a line directive that keeps the compiler's line numbers those of
// the user's text.
#pragma once

#include <string>

namespace Morvane {

// The shading-language version a driver's GL_SHADING_LANGUAGE_VERSION names, as major * 100 +
// minor: "4.50 NVIDIA" gives 450, "1.30" 130, "1.2" 120. 0 when it names none.
int ShadingLanguageVersion(const std::string& versionText);

// The oldest shading language a text in Shadertoy's form can be compiled with.
const int kOldestShadertoyLanguage = 130;

// The pixel-stage text for the Shadertoy text `text` on a driver with shading language `version`
// (ShadingLanguageVersion; at least kOldestShadertoyLanguage): `#version 330` from 3.30 on, else
// `#version 130`; then the inputs (iResolution, iTime, iTimeDelta, iFrameRate, iFrame, iMouse,
// iDate, iSampleRate, iChannelTime, iChannelResolution, iChannel0 to iChannel3, and the viewer's
// own screen2World, cameraPos and totalTime), HW_PERFORMANCE defined as 1, iGlobalTime as iTime and,
// for 3.30, texture2D as texture; a declaration of mainImage and a `main` that calls
// mainImage(colour, gl_FragCoord.xy) and writes the colour with alpha 1. Then the text, whose first
// line the compiler counts as line 1 (`#line N` numbers the next line N from 3.30 on, N + 1
// before), so that its messages name the text's own lines. Nothing follows the text: a mainImage
// that does not match the declaration fails on the text's own line, or at the link, which names
// no line.
std::string ShadertoyProgramText(const std::string& text, int version);

}  // namespace Morvane
