// The editor's text: CR LF line ends in the edit box, bare line feeds and UTF-8 in the scene.
#include <gtest/gtest.h>

#include <string>

#include "viewer/EditText.h"

TEST(EditText, CrLfConversionIsIdempotentAndRemovalTakesEveryCarriageReturn)
{
    std::wstring text = L"a\nb\n";
    Morvane::ToCrLf(text);
    EXPECT_EQ(text, L"a\r\nb\r\n");
    Morvane::ToCrLf(text);
    EXPECT_EQ(text, L"a\r\nb\r\n");
    std::wstring leading = L"\nx\r\ny\n\n";
    Morvane::ToCrLf(leading);
    EXPECT_EQ(leading, L"\r\nx\r\ny\r\n\r\n");

    std::wstring mixed = L"\ra\r\nb\rc\r";
    Morvane::RemoveCarriageReturns(mixed);
    EXPECT_EQ(mixed, L"a\nbc");
}

TEST(EditText, EmptyTextPassesBothWaysAndUnicodeSurvives)
{
    EXPECT_EQ(Morvane::ToEditText(""), L"");
    EXPECT_EQ(Morvane::FromEditText(L""), "");
    EXPECT_EQ(Morvane::FromEditText(L"\r"), "");
    EXPECT_EQ(Morvane::ToEditText("// \xC3\xA9t\xC3\xA9\n"), L"// \u00E9t\u00E9\r\n");
    EXPECT_EQ(Morvane::FromEditText(L"// \U0001F600\r\n"), "// \xF0\x9F\x98\x80\n");
}
