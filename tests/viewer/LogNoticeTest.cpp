// The notice about a file that is not valid UTF-8: how many sequences the editor shows replaced.
#include <gtest/gtest.h>

#include <string>

#include "viewer/LogNotice.h"

using namespace std::string_literals;

TEST(LogNotice, CountsOnlyTheSequencesTheEditorReplacesAndNeverWraps)
{
    const std::wstring path = L"glsl\\pixelShader.glsl";
    EXPECT_EQ(Morvane::InvalidUtf8Notice(path, "valid \xEF\xBF\xBD\n"), L"") << "a replacement character the file holds is text";
    const std::wstring two = Morvane::InvalidUtf8Notice(path, "\xFF and \xEF\xBF\xBD and \xC3\n");
    EXPECT_NE(two.find(L"pixelShader.glsl is not valid UTF-8; 2 invalid byte sequences were"), std::wstring::npos) << two;
    // A zero byte before a replacement character the file holds once made the count wrap round.
    EXPECT_EQ(Morvane::InvalidUtf8Notice(path, "a\0\xEF\xBF\xBD\n"s), L"");
}
