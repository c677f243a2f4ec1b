// The lines that compilers' logs name: Mesa's logs as Mesa writes them now (broken texts compiled
// through the viewer on llvmpipe), and the NVIDIA and AMD/Intel/Apple forms as those drivers
// document them; logs with no line, odd numbers, CR LF line ends and garbage.
#include "ViewerFixture.h"
#include "viewer/CompileLogLines.h"

using namespace ViewerTest;
using Platform::SourceMark;
using Platform::SourceMarkSeverity;

namespace {

const SourceMarkSeverity Error = SourceMarkSeverity::Error;
const SourceMarkSeverity Warning = SourceMarkSeverity::Warning;

std::string Narrow(const std::wstring& text)
{
    std::string narrow;
    for (wchar_t c : text) narrow += c < 128 ? static_cast<char>(c) : '?';
    return narrow;
}

// "line:E" or "line:W" per mark, in order.
std::vector<std::string> Lines(const std::vector<SourceMark>& marks)
{
    std::vector<std::string> lines;
    for (const SourceMark& mark : marks) {
        lines.push_back(std::to_string(mark.line) + (mark.severity == Error ? ":E" : ":W"));
    }
    return lines;
}

using Expected = std::vector<std::string>;

// The viewer on llvmpipe: each text is typed in as an edit, and the log box then holds Mesa's
// own words for it (with the CR LF line ends of an edit box).
class MesaLog : public ::testing::Test {
protected:
    MesaLog() : m_viewer(FlatPixelShader("0.2, 0.6, 0.3")) {}

    std::wstring LogOf(const std::string& text)
    {
        m_viewer.Type(text);
        return m_viewer.Log();
    }

    Viewer m_viewer;
};

}  // namespace

TEST_F(MesaLog, NamesTheLineOfTheErrorCountingFromOne)
{
    const std::wstring log = LogOf("#version 120\n"
                                   "void main()\n"
                                   "{\n"
                                   "    gl_FragColor = vec4(1.0) oops;\n"
                                   "}\n");
    const std::vector<SourceMark> marks = Morvane::CompileLogLines(log);
    EXPECT_EQ(Lines(marks), Expected{"4:E"}) << Narrow(log);
    ASSERT_EQ(marks.size(), 1u);
    EXPECT_EQ(marks[0].text.rfind(L"error: ", 0), 0u) << Narrow(marks[0].text);
    EXPECT_NE(marks[0].text.find(L"syntax error"), std::wstring::npos) << Narrow(marks[0].text);
}

TEST_F(MesaLog, WarningsOfAFailedCompileAndSeveralErrorsOnOneLine)
{
    const std::wstring log = LogOf("#version 120\n"
                                   "#extension GL_MORVANE_nothing : warn\n"
                                   "void main()\n"
                                   "{\n"
                                   "    int a = 1.0; int b = 2.0;\n"
                                   "    gl_FragColor = vec4(undeclared);\n"
                                   "}\n");
    EXPECT_EQ(Lines(Morvane::CompileLogLines(log)), (Expected{"2:W", "5:E", "5:E", "6:E", "6:E"})) << Narrow(log);
}

TEST_F(MesaLog, PreprocessorErrorsNameTheirLine)
{
    const std::wstring log = LogOf("#version 120\n"
                                   "void main() { gl_FragColor = vec4(1.0); }\n"
                                   "#error stop here\n");
    EXPECT_EQ(Lines(Morvane::CompileLogLines(log)), Expected{"3:E"}) << Narrow(log);
}

TEST_F(MesaLog, LinkErrorsAndTheProgramsOwnMessagesNameNoLine)
{
    const std::wstring link = LogOf("#version 120\nvoid shade() { gl_FragColor = vec4(1.0); }\n");
    EXPECT_NE(link.find(L"main"), std::wstring::npos) << Narrow(link);
    EXPECT_TRUE(Morvane::CompileLogLines(link).empty()) << Narrow(link);

    const std::wstring parameter = LogOf("#version 120\nvoid main() { gl_FragColor = vec4(1.0); }\n");
    EXPECT_NE(parameter.find(L"Parameter location not found"), std::wstring::npos) << Narrow(parameter);
    EXPECT_TRUE(Morvane::CompileLogLines(parameter).empty()) << Narrow(parameter);
}

TEST(CompileLogLines, MesaSample)
{
    const std::vector<SourceMark> marks = Morvane::CompileLogLines(
        L"0:2(12): warning: extension `GL_FOO_bar' unsupported in fragment shader\n"
        L"0:3(39): error: syntax error, unexpected '}', expecting ',' or ';'\n"
        L"0:7(1): preprocessor error: #error boom\n");
    EXPECT_EQ(Lines(marks), (Expected{"2:W", "3:E", "7:E"}));
    ASSERT_EQ(marks.size(), 3u);
    EXPECT_EQ(marks[0].text, L"warning: extension `GL_FOO_bar' unsupported in fragment shader");
    EXPECT_EQ(marks[1].text, L"error: syntax error, unexpected '}', expecting ',' or ';'");
    EXPECT_EQ(marks[2].text, L"preprocessor error: #error boom");
}

TEST(CompileLogLines, NvidiaErrorsAndWarnings)
{
    const std::vector<SourceMark> marks = Morvane::CompileLogLines(
        L"0(12) : error C0000: syntax error, unexpected identifier, expecting ',' or ';' at token \"oops\"\n"
        L"0(3) : warning C7050: \"colour\" might be used before being initialized\n"
        L"0(40) : fatal error C9999: too many errors\n"
        L"(0) : error C2003: incompatible options\n");
    EXPECT_EQ(Lines(marks), (Expected{"12:E", "3:W", "40:E"}));
    ASSERT_EQ(marks.size(), 3u);
    EXPECT_EQ(marks[0].text,
              L"error C0000: syntax error, unexpected identifier, expecting ',' or ';' at token \"oops\"");
    EXPECT_EQ(marks[1].text, L"warning C7050: \"colour\" might be used before being initialized");
}

TEST(CompileLogLines, AmdIntelAndAppleErrorsAndWarnings)
{
    const std::vector<SourceMark> marks = Morvane::CompileLogLines(
        L"ERROR: 0:12: 'oops' : syntax error syntax error\n"
        L"WARNING: 0:4: 'colour' : variable may be used before initialisation\n"
        L"ERROR: 0:30: error(#143) Undeclared identifier: undeclared\n"
        L"ERROR: error(#273) 2 compilation errors.  No code generated\n"
        L"ERROR: 2 compilation errors.  No code generated.\n");
    EXPECT_EQ(Lines(marks), (Expected{"12:E", "4:W", "30:E"}));
    ASSERT_EQ(marks.size(), 3u);
    EXPECT_EQ(marks[0].text, L"ERROR: 'oops' : syntax error syntax error");
    EXPECT_EQ(marks[1].text, L"WARNING: 'colour' : variable may be used before initialisation");
}

TEST(CompileLogLines, EveryMessageOnOneLineIsAMarkOfItsOwn)
{
    const std::vector<SourceMark> marks = Morvane::CompileLogLines(
        L"0:5(2): error: initializer of type float cannot be assigned to variable of type int\n"
        L"0:5(15): error: initializer of type float cannot be assigned to variable of type int\n"
        L"0:5(20): warning: unused\n");
    EXPECT_EQ(Lines(marks), (Expected{"5:E", "5:E", "5:W"}));
}

TEST(CompileLogLines, CrLfLineEndsAndAMissingLastLineEnd)
{
    const std::vector<SourceMark> marks = Morvane::CompileLogLines(
        L"0(7) : error C1008: undefined variable \"y\"\r\n"
        L"ERROR: 0:8: 'x' : undeclared identifier\r\n"
        L"0:9(1): error: syntax error");
    EXPECT_EQ(Lines(marks), (Expected{"7:E", "8:E", "9:E"}));
    ASSERT_EQ(marks.size(), 3u);
    EXPECT_EQ(marks[0].text, L"error C1008: undefined variable \"y\"");
    EXPECT_EQ(marks[1].text, L"ERROR: 'x' : undeclared identifier");
}

TEST(CompileLogLines, LogsThatNameNoLineMarkNothing)
{
    EXPECT_TRUE(Morvane::CompileLogLines(L"").empty());
    EXPECT_TRUE(Morvane::CompileLogLines(L"error: main function not found\n").empty());
    EXPECT_TRUE(Morvane::CompileLogLines(L"error: linking with uncompiled/unspecialized shader").empty());
    EXPECT_TRUE(Morvane::CompileLogLines(
                    L"void OpenglProgram::SetParameter(const std::string& name, float value): "
                    L"Parameter location not found; parameter name: totalTime")
                    .empty());
    EXPECT_TRUE(Morvane::CompileLogLines(L"The shaders could not be linked.").empty());
}

TEST(CompileLogLines, ZeroHugeAndOtherSourceStringsMarkNothing)
{
    EXPECT_TRUE(Morvane::CompileLogLines(L"0:0(1): error: nowhere\n0(0) : error C0000: nowhere\n"
                                         L"ERROR: 0:0: nowhere\n")
                    .empty());
    EXPECT_TRUE(Morvane::CompileLogLines(L"0:99999999999999999999(1): error: far\n"
                                         L"0(4294967297) : error C0000: far\nERROR: 0:2147483648: far\n")
                    .empty());
    EXPECT_EQ(Lines(Morvane::CompileLogLines(L"0:1000000000(1): error: far but still a number\n")),
              Expected{"1000000000:E"});
    EXPECT_TRUE(Morvane::CompileLogLines(L"1:3(1): error: another string\n2(3) : error C0000: another\n"
                                         L"WARNING: 1:3: another\n")
                    .empty());
}

TEST(CompileLogLines, GarbageMarksNothing)
{
    EXPECT_TRUE(Morvane::CompileLogLines(L"\n\r\n\r\r\n  \t\n").empty());
    EXPECT_TRUE(Morvane::CompileLogLines(L"0:3(1) error: no colon after the place\n"
                                         L"0:3(: error: no column\n"
                                         L"0:3(1): note: not a severity\n"
                                         L"0(3) error C0000: no colon\n"
                                         L"0(3) : remark C0000: not a severity\n"
                                         L"0(3) : errors everywhere\n"
                                         L"ERROR 0:3: no colon\n"
                                         L"error: 0:3: lower case\n"
                                         L"ERROR: 0:3 no colon after the line\n"
                                         L"ERROR: -0:3: minus\n"
                                         L"  0:3(1): error: indented\n"
                                         L"x0:3(1): error: prefixed\n"
                                         L"\x00e9\x4e2d\xfffd:3(1): error: not digits\n")
                    .empty());
}
