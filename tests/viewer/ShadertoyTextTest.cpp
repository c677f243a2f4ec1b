// Which texts are in Shadertoy's form: a definition of mainImage and none of main, looked for in
// the code alone, never in comments, strings or preprocessor lines.
#include <gtest/gtest.h>

#include "viewer/ShadertoyText.h"

using Morvane::IsShadertoyText;

namespace {

const char kImage[] = "void mainImage(out vec4 fragColor, in vec2 fragCoord)\n{\n    fragColor = vec4(1.0);\n}\n";

TEST(ShadertoyText, ADefinitionOfMainImageAloneIsShadertoysForm)
{
    EXPECT_TRUE(IsShadertoyText(kImage));
    EXPECT_TRUE(IsShadertoyText("void mainImage( out vec4 c, in vec2 p ) { c = vec4(p, 0.0, 1.0); }"));
    // Layout of any kind between the name, its parameters and its body.
    EXPECT_TRUE(IsShadertoyText("void\nmainImage\n(\nout vec4 c,\nvec2 p\n)\n\n{\n}\n"));
    EXPECT_TRUE(IsShadertoyText("void mainImage(out vec4 c, vec2 p) /* body: */ { c = vec4(0.0); }"));
}

TEST(ShadertoyText, TheViewersOwnTextsAreNot)
{
    EXPECT_FALSE(IsShadertoyText("uniform float totalTime;\nvoid main() { gl_FragColor = vec4(totalTime); }\n"));
    EXPECT_FALSE(IsShadertoyText(""));
    EXPECT_FALSE(IsShadertoyText("void image(out vec4 c, vec2 p) { }"));
}

TEST(ShadertoyText, MainAndMainImageBothDefinedIsTheViewersForm)
{
    EXPECT_FALSE(IsShadertoyText(std::string(kImage) + "void main() { mainImage(gl_FragColor, gl_FragCoord.xy); }\n"));
    EXPECT_FALSE(IsShadertoyText(std::string("void main(void)\n{\n}\n") + kImage));
}

TEST(ShadertoyText, MainInCommentsStringsAndDirectivesCountsForNothing)
{
    EXPECT_TRUE(IsShadertoyText(std::string("// void main() { }\n") + kImage));
    EXPECT_TRUE(IsShadertoyText(std::string("/* void main()\n{\n} */\n") + kImage));
    EXPECT_TRUE(IsShadertoyText(std::string("#error \"void main() { }\"\n") + kImage));
    EXPECT_TRUE(IsShadertoyText(std::string("#define BODY void main() { } \\\n  void main() { }\n") + kImage));
    EXPECT_TRUE(IsShadertoyText(std::string(kImage) + "// the end: void main() {}"));
    // A comment that hides mainImage leaves a text without either.
    EXPECT_FALSE(IsShadertoyText("/* void mainImage(out vec4 c, vec2 p) { } */\n"));
    EXPECT_FALSE(IsShadertoyText("// void mainImage(out vec4 c, vec2 p) { }\n"));
}

TEST(ShadertoyText, DeclarationsCallsAndInnerNamesAreNoDefinitions)
{
    // A prototype of main, a call of main, a variable named main: none defines main.
    EXPECT_TRUE(IsShadertoyText(std::string("void main();\n") + kImage));
    EXPECT_TRUE(IsShadertoyText("float main = 1.0;\nvoid mainImage(out vec4 c, vec2 p) { c = vec4(main); }"));
    EXPECT_TRUE(IsShadertoyText("void mainImage(out vec4 c, vec2 p) { if (p.x > 0.0) { main(); } }"));
    // A prototype of mainImage alone is no definition.
    EXPECT_FALSE(IsShadertoyText("void mainImage(out vec4 c, vec2 p);\nvoid main() { }\n"));
    EXPECT_FALSE(IsShadertoyText("void mainImage(out vec4 c, vec2 p);\n"));
    // Names that only begin with them.
    EXPECT_FALSE(IsShadertoyText("void mainImage2(out vec4 c, vec2 p) { }"));
    EXPECT_TRUE(IsShadertoyText(std::string("void mainly() { }\n") + kImage));
}

}  // namespace
